// TarvexI2CRead / TarvexI2CWrite: ranges of sensor registers over I2C.
#include "camera/locked_camera.h"
#include "sensor/sensor_registers.h"

using namespace tarvex;

namespace {
// The I2C layer takes the count modulo 65536.
uint32_t registerCount(uint32_t count) {
    return count & 0xFFFFu;
}
}  // namespace

extern "C" ApiStatus TARVEX_CALL TarvexI2CRead(CameraHandle handle, uint32_t start, uint16_t* values,
                                               uint32_t count) {
    LockedCamera camera(handle);
    if (!camera) return ERR_INVALID_HANDLE;
    if (values == nullptr && registerCount(count) != 0) return ERR_OUT_OF_RANGE;
    // Any register may be read; the shadow is not refreshed from the sensor.
    return readSensorRegisters(camera->device, start, values, count);
}

extern "C" ApiStatus TARVEX_CALL TarvexI2CWrite(CameraHandle handle, uint32_t start, const uint16_t* values,
                                                uint32_t count) {
    LockedCamera camera(handle);
    if (!camera) return ERR_INVALID_HANDLE;
    const uint32_t n = registerCount(count);
    if (values == nullptr && n != 0) return ERR_OUT_OF_RANGE;

    // The shadow must keep mirroring the sensor, so every register of the
    // range has to be one it holds. The registers before an unmirrored one
    // have had their copies replaced by then; nothing reaches the sensor.
    for (uint32_t i = 0; i < n; ++i) {
        uint32_t value = values[i];
        if (updateRegisterField(camera->sensorShadow, start + i, 0xFFFF, value, 0) != 0) {
            return ERR_OUT_OF_RANGE;
        }
    }
    return writeSensorRegisters(camera->device, start, values, count);
}
