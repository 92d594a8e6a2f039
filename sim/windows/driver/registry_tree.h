// Removal of a registry key with everything below it.
#pragma once

#include "kernel.h"

namespace tarvex::kernel {

// Deletes the key `path` ("\Registry\Machine\...") and all its subkeys.
// A key that does not exist is no error.
NTSTATUS deleteRegistryTree(const wchar_t* path);

}  // namespace tarvex::kernel
