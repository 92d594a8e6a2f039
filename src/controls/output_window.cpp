// Position and size of the delivered picture, in output pixels of the current
// resolution mode.
#include <cstdint>
#include <limits>

#include "camera/locked_camera.h"
#include "sensor/sensor_registers.h"

using namespace tarvex;

namespace {

constexpr int32_t MIN_WINDOW_WIDTH = 4;
constexpr int32_t MIN_WINDOW_HEIGHT = 3;

// The sensor's first active row and column.
constexpr uint32_t FIRST_ROW = 12;
constexpr uint32_t FIRST_COLUMN = 20;

constexpr uint32_t WINDOW_REGISTER = 0x01;  // 0x01 row, 0x02 column, 0x03 height - 1, 0x04 width - 1
constexpr int WINDOW_REGISTER_COUNT = 4;

// Resolution mode 3 has no defined output size and so no scale factor.
constexpr uint8_t LAST_SCALED_MODE = 2;

}  // namespace

extern "C" ApiStatus TARVEX_CALL TarvexSetOutputWindow(CameraHandle handle, int32_t x, int32_t y,
                                                       int32_t width, int32_t height) {
    if (width < MIN_WINDOW_WIDTH || height < MIN_WINDOW_HEIGHT) return ERR_OUT_OF_RANGE;
    // The frame size is width x height bytes and must stay a positive 32-bit
    // count.
    if (static_cast<int64_t>(width) * height > std::numeric_limits<int32_t>::max()) {
        return ERR_OUT_OF_RANGE;
    }
    LockedCamera camera(handle);
    if (!camera) return ERR_INVALID_HANDLE;
    if (camera->resolution > LAST_SCALED_MODE) return ERR_OUT_OF_RANGE;

    // Sensor pixels per output pixel. The register values wrap at 16 bits, so
    // the arithmetic is unsigned and kept to 16 bits.
    uint32_t factor = static_cast<uint16_t>(camera->scaleFactor[camera->resolution]);
    uint16_t values[WINDOW_REGISTER_COUNT] = {
        static_cast<uint16_t>(factor * static_cast<uint32_t>(y) + FIRST_ROW),
        static_cast<uint16_t>(factor * static_cast<uint32_t>(x) + FIRST_COLUMN),
        static_cast<uint16_t>(factor * static_cast<uint32_t>(height) - 1),
        static_cast<uint16_t>(factor * static_cast<uint32_t>(width) - 1),
    };
    for (int i = 0; i < WINDOW_REGISTER_COUNT; ++i) {
        uint32_t whole = values[i];
        updateRegisterField(camera->sensorShadow, WINDOW_REGISTER + i, 0xFFFF, whole, 0);
    }
    ApiStatus result = writeSensorRegisters(camera->device, WINDOW_REGISTER, values, WINDOW_REGISTER_COUNT);
    // The frame size follows only a window the sensor accepted.
    if (result == 0) {
        camera->windowWidth = width;
        camera->windowHeight = height;
    }
    return result;
}
