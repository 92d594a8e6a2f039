// Command 40: a pulse on bit 0 of sensor register 0x0D.
#include "info/command_operations.h"
#include "sensor/sensor_registers.h"

namespace tarvex {

namespace {
constexpr uint32_t PULSE_REGISTER = 0x0D;
constexpr uint16_t PULSE_BIT = 0x0001;
}  // namespace

ApiStatus pulseRegister0D(CameraState& camera) {
    // The rising edge's result is not looked at: the falling write carries the
    // whole register and decides the outcome.
    writeRegisterField(camera.device, camera.sensorShadow, PULSE_REGISTER, PULSE_BIT, 1, 0);
    return writeRegisterField(camera.device, camera.sensorShadow, PULSE_REGISTER, PULSE_BIT, 0, 0);
}

}  // namespace tarvex
