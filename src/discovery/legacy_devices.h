// Numbered device names: camera n is the base name followed by n.
#pragma once

#include <cstdint>

#include "platform/win32.h"

namespace tarvex {

inline constexpr const char* LEGACY_BASE_NAME = "\\\\.\\KQ-TarvexNT";

// Probes base1, base2, ... and stops at the first name that does not open.
int32_t countLegacyDevices(const char* baseName);

HANDLE openLegacyDevice(const char* baseName, int32_t number);

}  // namespace tarvex
