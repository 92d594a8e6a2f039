// The device namespace of the Linux stand-in: the devices that drivers
// created (tarvex_device_create), reached by CreateFileA and enumerated by
// the device-installation functions.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace tarvex::platform {

// Reads "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (hex digits in any case).
bool parseInterfaceClass(const char* text, GUID& interfaceClass);

bool sameGuid(const GUID& a, const GUID& b);

// The device paths of the present members of an interface class, in the
// order the devices were created.
std::vector<std::string> presentInterfacePaths(const GUID& interfaceClass);

}  // namespace tarvex::platform
