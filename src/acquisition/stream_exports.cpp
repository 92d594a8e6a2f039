// The streaming exports: start, stop (also as TarvexAbortSnap), frame
// transfer and the driver's last error.
#include "acquisition/stream.h"
#include "camera/locked_camera.h"
#include "transport/driver_call.h"
#include "transport/driver_codes.h"

using namespace tarvex;

extern "C" ApiStatus TARVEX_CALL TarvexStartSnap(CameraHandle handle) {
    LockedCamera camera(handle);
    if (!camera) return ERR_INVALID_HANDLE;
    // The frame size is fixed here, before anything is sent, and stays even
    // when the start fails. The window check of TarvexSetOutputWindow keeps
    // the product within 32 bits.
    int32_t frameBytes = camera->windowWidth * camera->windowHeight;
    camera->frameBytes.store(frameBytes);
    ApiStatus result = startStream(camera->device, &camera->startLock, frameBytes);
    if (result == 0) camera->snapping.store(1);
    return result;
}

extern "C" ApiStatus TARVEX_CALL TarvexStopSnap(CameraHandle handle) {
    LockedCamera camera(handle);
    if (!camera) return ERR_INVALID_HANDLE;
    ApiStatus result = stopStream(camera->device, &camera->stopLock);
    if (result == 0) camera->snapping.store(0);
    return result;
}

#if !defined(_WIN32)
// One entry point under two names (on Windows the module definition file
// makes the second name).
extern "C" ApiStatus TARVEX_CALL TarvexAbortSnap(CameraHandle) __attribute__((alias("TarvexStopSnap")));
#endif

// The per-frame path: one status query and one read that the driver places
// straight into the caller's buffer. Nothing is allocated or copied here.
extern "C" int32_t TARVEX_CALL TarvexTransfer(CameraHandle handle, void* buffer, uint32_t* bytesReturned) {
    if (bytesReturned == nullptr) return ERR_OUT_OF_RANGE;
    LockedCamera camera(handle);
    if (!camera) return ERR_INVALID_HANDLE;
    // Read once: the status query and the read ask for the same size even if
    // another thread starts the stream meanwhile.
    uint32_t frameBytes = static_cast<uint32_t>(camera->frameBytes.load());
    if (buffer == nullptr && frameBytes != 0) return ERR_OUT_OF_RANGE;

    int32_t status = 0;
    int32_t result;
    if (!callDriverExact(camera->device, driver::GET_TRANSFER_STATUS, nullptr, 0, &status, sizeof status)) {
        result = ERR_STATUS_QUERY;
    } else if (status < 0) {
        result = status;  // the driver's failure, passed through unchanged
    } else if (!callDriver(camera->device, driver::READ_FRAME, nullptr, 0, buffer, frameBytes,
                           reinterpret_cast<DWORD*>(bytesReturned))) {
        result = ERR_DRIVER_CALL;
    } else {
        result = status;  // a short frame shows only in *bytesReturned
    }
    camera->lastTransferStatus.store(result);
    return result;
}

extern "C" ApiStatus TARVEX_CALL TarvexGetLastError(CameraHandle handle, int32_t* lastError) {
    if (lastError == nullptr) return ERR_OUT_OF_RANGE;
    LockedCamera camera(handle);
    if (!camera) return ERR_INVALID_HANDLE;
    return callDriverExact(camera->device, driver::GET_LAST_ERROR, nullptr, 0, lastError, sizeof *lastError)
               ? 0
               : ERR_STATUS_QUERY;
}
