// Mirroring of the picture.
#include "camera/locked_camera.h"
#include "sensor/sensor_registers.h"

using namespace tarvex;

namespace {

// Bits 7 and 15 of register 0x20 switch mirroring together.
constexpr uint32_t MIRROR_REGISTER = 0x20;
constexpr uint16_t MIRROR_MASK = 0x8080;
constexpr unsigned MIRROR_SHIFT = 7;
constexpr uint32_t MIRROR_ON = 0x0101;

}  // namespace

// The second argument has never had a use; it stays for the signature.
extern "C" ApiStatus TARVEX_CALL TarvexEnableVideoMirror(CameraHandle handle, int32_t, int32_t enable) {
    LockedCamera camera(handle);
    if (!camera) return ERR_INVALID_HANDLE;
    return writeRegisterField(camera->device, camera->sensorShadow, MIRROR_REGISTER, MIRROR_MASK,
                              enable != 0 ? MIRROR_ON : 0, MIRROR_SHIFT);
}
