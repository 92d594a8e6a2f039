// The sensor's resolution mode: full, half, quarter size, and mode 3.
#include "camera/locked_camera.h"
#include "sensor/sensor_registers.h"

using namespace tarvex;

namespace {

constexpr uint8_t LAST_RESOLUTION_MODE = 3;

// Each mode other than 0 sets its own two-bit field to 3; mode 0 clears all
// three. Written in this order; the last write decides the result.
struct ResolutionField {
    uint8_t mode;
    uint32_t address;
    uint16_t mask;
    unsigned shift;
};
constexpr ResolutionField ResolutionFields[] = {
    {1, 0x20, 0x0018, 3},
    {2, 0x1E, 0x000C, 2},
    {3, 0x1E, 0x0030, 4},
};
constexpr uint32_t FIELD_ON = 3;

}  // namespace

// The window is left as it is, in sensor pixels: the caller sets it again in
// the new mode's output pixels.
extern "C" ApiStatus TARVEX_CALL TarvexSetResolution(CameraHandle handle, uint32_t mode) {
    uint8_t newMode = static_cast<uint8_t>(mode);
    if (newMode > LAST_RESOLUTION_MODE) return ERR_OUT_OF_RANGE;
    LockedCamera camera(handle);
    if (!camera) return ERR_INVALID_HANDLE;

    ApiStatus result = 0;
    for (const ResolutionField& field : ResolutionFields) {
        result = writeRegisterField(camera->device, camera->sensorShadow, field.address, field.mask,
                                    field.mode == newMode ? FIELD_ON : 0, field.shift);
    }
    if (result == 0) camera->resolution = newMode;
    return result;
}
