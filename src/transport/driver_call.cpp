#include "transport/driver_call.h"

namespace tarvex {

bool callDriver(HANDLE device, DWORD code, const void* input, DWORD inputSize, void* output, DWORD outputSize,
                DWORD* bytesReturned) {
    // The handle is opened for overlapped I/O, but every call is made
    // synchronously: no OVERLAPPED structure, the driver completes at once.
    return DeviceIoControl(device, code, const_cast<void*>(input), inputSize, output, outputSize,
                           bytesReturned, nullptr) != FALSE;
}

bool callDriverForStatus(HANDLE device, DWORD code, const void* input, DWORD inputSize) {
    int32_t status = 0;
    DWORD bytes = 0;
    bool succeeded = callDriver(device, code, input, inputSize, &status, sizeof status, &bytes);
    return succeeded && status >= 0;
}

bool callDriverWithValue(HANDLE device, DWORD code, uint32_t value) {
    return callDriverForStatus(device, code, &value, sizeof value);
}

bool callDriverExact(HANDLE device, DWORD code, const void* input, DWORD inputSize, void* output,
                     DWORD outputSize) {
    DWORD bytes = 0;
    return callDriver(device, code, input, inputSize, output, outputSize, &bytes) && bytes == outputSize;
}

}  // namespace tarvex
