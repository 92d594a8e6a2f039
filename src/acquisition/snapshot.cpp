// Continuous or snapshot acquisition, and the software trigger.
#include "camera/locked_camera.h"
#include "sensor/sensor_registers.h"
#include "transport/vendor_request.h"

using namespace tarvex;

namespace {

constexpr uint32_t SNAPSHOT_REGISTER = 0x1E;  // bit 8: snapshot operation
constexpr uint16_t SNAPSHOT_MASK = 0x0100;
constexpr unsigned SNAPSHOT_SHIFT = 8;

constexpr uint32_t TRIGGER_REGISTER = 0x0B;  // bit 0: fire the trigger
constexpr uint16_t TRIGGER_MASK = 0x0001;

constexpr uint8_t LAST_SNAP_MODE = 3;

ApiStatus fireTrigger(CameraState& camera) {
    return writeRegisterField(camera.device, camera.sensorShadow, TRIGGER_REGISTER, TRIGGER_MASK, 1, 0);
}

}  // namespace

extern "C" ApiStatus TARVEX_CALL TarvexSetSnapMode(CameraHandle handle, uint32_t mode) {
    uint8_t newMode = static_cast<uint8_t>(mode);
    if (newMode > LAST_SNAP_MODE) return ERR_OUT_OF_RANGE;
    uint32_t snapshotBit = newMode != 0 ? 1 : 0;

    LockedCamera camera(handle);
    if (!camera) return ERR_INVALID_HANDLE;
    if (camera->snapMode == newMode) return 0;

    ApiStatus written = writeRegisterField(camera->device, camera->sensorShadow, SNAPSHOT_REGISTER,
                                           SNAPSHOT_MASK, snapshotBit, SNAPSHOT_SHIFT);
    if (written != 0) return written;
    // The mode follows the sensor: once the sensor has the new bit the mode
    // is recorded, whatever the controller answers next.
    camera->snapMode = newMode;
    ApiStatus told = writeVendorByte(camera->device, request::SNAP_MODE, newMode);
    // The follow-up of the new mode: a snapshot mode resets the controller's
    // framing, continuous mode sets the trigger bit. It does not decide the
    // result.
    if (newMode != 0) {
        writeVendorByte(camera->device, request::FRAME_RESET, 0);
    } else {
        fireTrigger(*camera);
    }
    return told;
}

extern "C" ApiStatus TARVEX_CALL TarvexTriggerShot(CameraHandle handle) {
    LockedCamera camera(handle);
    if (!camera) return ERR_INVALID_HANDLE;
    return fireTrigger(*camera);
}
