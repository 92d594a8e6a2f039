// Trigger polarity, strobe polarity and snap speed: one byte each, passed to
// the controller's firmware and recorded once the camera accepted it.
#include "camera/locked_camera.h"
#include "transport/vendor_request.h"

using namespace tarvex;

namespace {

ApiStatus sendFirmwareSetting(CameraHandle handle, uint8_t requestCode, uint8_t CameraState::*field,
                              uint32_t argument) {
    LockedCamera camera(handle);
    if (!camera) return ERR_INVALID_HANDLE;
    uint8_t byte = static_cast<uint8_t>(argument);
    ApiStatus result = writeVendorByte(camera->device, requestCode, byte);
    if (result == 0) (*camera).*field = byte;
    return result;
}

}  // namespace

extern "C" ApiStatus TARVEX_CALL TarvexSetTriggerPolarity(CameraHandle handle, uint32_t polarity) {
    return sendFirmwareSetting(handle, request::TRIGGER_POLARITY, &CameraState::triggerPolarity, polarity);
}

extern "C" ApiStatus TARVEX_CALL TarvexSetStrobePolarity(CameraHandle handle, uint32_t polarity) {
    return sendFirmwareSetting(handle, request::STROBE_POLARITY, &CameraState::strobePolarity, polarity);
}

extern "C" ApiStatus TARVEX_CALL TarvexSetSnapSpeed(CameraHandle handle, uint32_t speed) {
    return sendFirmwareSetting(handle, request::SNAP_SPEED, &CameraState::snapSpeed, speed);
}
