// Device-interface enumeration: camera n is member n - 1 of the present
// interfaces of the camera's class, found through "setupapi.dll", which is
// loaded by name for each count and each open and unloaded again.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/win32.h"

namespace tarvex {

// {2217C0A0-97CF-11DE-A807-444553540000}
inline constexpr GUID CAMERA_INTERFACE_CLASS = {
    0x2217C0A0, 0x97CF, 0x11DE, {0xA8, 0x07, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

inline constexpr size_t DEVICE_PATH_BUFFER_SIZE = 256;

// Receives the path formed by each open (shared by the whole library).
extern char devicePath[DEVICE_PATH_BUFFER_SIZE];

int32_t countInterfaceDevices(const GUID& interfaceClass);

// Opens member `memberIndex` at its device path followed by "\<suffix>".
HANDLE openInterfaceDevice(const GUID& interfaceClass, char* pathBuffer, DWORD memberIndex, int suffix);

}  // namespace tarvex
