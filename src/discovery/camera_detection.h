// Which naming scheme the system uses, how many cameras it has, and opening
// the n-th camera's driver handle.
#pragma once

#include <cstdint>

#include "platform/win32.h"

namespace tarvex {

// Library-wide state: set at load and by TarvexGetDeviceNumber, used by
// BeginTarvex. Not locked: those two are called from one thread at a time.
extern int32_t useLegacyNaming;
extern int32_t deviceCount;

// Decides the naming scheme from the system version and counts the cameras.
void detectCameras();

// Counts again with the scheme chosen at load; stores and returns the count.
int32_t countCameras();

// The driver handle of camera `index` (1-based), or INVALID_HANDLE_VALUE.
HANDLE openCameraDevice(int32_t index);

}  // namespace tarvex
