// TarvexBulkRead / TarvexBulkWrite: the camera's raw bulk pipe 1.
#include "camera/locked_camera.h"
#include "transport/driver_call.h"
#include "transport/driver_codes.h"

using namespace tarvex;

namespace {
constexpr uint32_t RAW_BULK_PIPE = 1;
}

extern "C" ApiStatus TARVEX_CALL TarvexBulkRead(CameraHandle handle, void* buffer, uint32_t length) {
    LockedCamera camera(handle);
    if (!camera) return ERR_INVALID_HANDLE;
    if (buffer == nullptr && length != 0) return ERR_OUT_OF_RANGE;
    const uint32_t pipe = RAW_BULK_PIPE;
    return callDriverExact(camera->device, driver::BULK_READ, &pipe, sizeof pipe, buffer, length)
               ? 0
               : ERR_DRIVER_CALL;
}

extern "C" ApiStatus TARVEX_CALL TarvexBulkWrite(CameraHandle handle, const void* data, uint32_t length) {
    LockedCamera camera(handle);
    if (!camera) return ERR_INVALID_HANDLE;
    if (data == nullptr && length != 0) return ERR_OUT_OF_RANGE;
    const uint32_t pipe = RAW_BULK_PIPE;
    // The driver takes the data to write in the call's output buffer and only reads it.
    return callDriverExact(camera->device, driver::BULK_WRITE, &pipe, sizeof pipe, const_cast<void*>(data),
                           length)
               ? 0
               : ERR_DRIVER_CALL;
}
