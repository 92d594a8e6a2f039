// Horizontal and vertical blanking, which the interface calls delay.
#include "camera/locked_camera.h"
#include "sensor/sensor_registers.h"

using namespace tarvex;

namespace {

constexpr uint32_t BLANKING_REGISTER = 0x05;  // 0x05 horizontal, 0x06 vertical
constexpr int BLANKING_REGISTER_COUNT = 2;
// The sensor's least blanking, which a delay of 0 gives.
constexpr uint32_t MIN_HORIZONTAL_BLANKING = 9;
constexpr uint32_t MIN_VERTICAL_BLANKING = 25;

}  // namespace

// No range check: the values wrap at 16 bits (unsigned arithmetic, so that no
// argument overflows).
extern "C" ApiStatus TARVEX_CALL TarvexSetDelay(CameraHandle handle, int32_t horizontal, int32_t vertical) {
    LockedCamera camera(handle);
    if (!camera) return ERR_INVALID_HANDLE;
    uint16_t values[BLANKING_REGISTER_COUNT] = {
        static_cast<uint16_t>(static_cast<uint32_t>(horizontal) + MIN_HORIZONTAL_BLANKING),
        static_cast<uint16_t>(static_cast<uint32_t>(vertical) + MIN_VERTICAL_BLANKING),
    };
    for (int i = 0; i < BLANKING_REGISTER_COUNT; ++i) {
        uint32_t whole = values[i];
        updateRegisterField(camera->sensorShadow, BLANKING_REGISTER + i, 0xFFFF, whole, 0);
    }
    return writeSensorRegisters(camera->device, BLANKING_REGISTER, values, BLANKING_REGISTER_COUNT);
}
