// Device-control calls and the two ways the library judges them.
#pragma once

#include <cstdint>

#include "platform/win32.h"

namespace tarvex {

// One synchronous device-control call. Returns whether it succeeded; the byte
// count the driver reported goes to *bytesReturned.
bool callDriver(HANDLE device, DWORD code, const void* input, DWORD inputSize, void* output, DWORD outputSize,
                DWORD* bytesReturned);

// A call with a 4-byte signed status as output: succeeds when the call
// succeeded and the status is not negative (the byte count is ignored).
bool callDriverForStatus(HANDLE device, DWORD code, const void* input, DWORD inputSize);

// The same with a 32-bit value as input.
bool callDriverWithValue(HANDLE device, DWORD code, uint32_t value);

// A call that must return exactly `outputSize` bytes.
bool callDriverExact(HANDLE device, DWORD code, const void* input, DWORD inputSize, void* output,
                     DWORD outputSize);

}  // namespace tarvex
