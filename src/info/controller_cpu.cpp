// Tarvex8051Hold / Tarvex8051Run: the controller's CPU control byte.
#include "camera/locked_camera.h"
#include "transport/vendor_request.h"

using namespace tarvex;

namespace {
constexpr uint8_t CPU_HOLD = 1;
constexpr uint8_t CPU_RUN = 0;
}  // namespace

extern "C" ApiStatus TARVEX_CALL Tarvex8051Hold(CameraHandle handle) {
    LockedCamera camera(handle);
    if (!camera) return ERR_INVALID_HANDLE;
    return writeFirmwareByte(camera->device, CPU_HOLD);
}

extern "C" ApiStatus TARVEX_CALL Tarvex8051Run(CameraHandle handle) {
    LockedCamera camera(handle);
    if (!camera) return ERR_INVALID_HANDLE;
    return writeFirmwareByte(camera->device, CPU_RUN);
}
