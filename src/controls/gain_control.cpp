// The sensor's four channel gains.
#include "camera/locked_camera.h"
#include "controls/field_selector.h"

using namespace tarvex;

namespace {

// Selector 0 is accepted and does nothing.
constexpr uint8_t NO_GAIN_SELECTOR = 0;

// The channel gains do not lie in register order.
constexpr FieldSelector GainFields[] = {
    {16, 0x2D, 0x007F},  // channel gain 0
    {17, 0x2B, 0x007F},  // channel gain 1
    {18, 0x2E, 0x007F},  // channel gain 2
    {19, 0x2C, 0x007F},  // channel gain 3
};

}  // namespace

extern "C" ApiStatus TARVEX_CALL TarvexAGCControl(CameraHandle handle, uint32_t selector, int32_t value) {
    LockedCamera camera(handle);
    if (!camera) return ERR_INVALID_HANDLE;
    uint8_t chosen = static_cast<uint8_t>(selector);
    if (chosen == NO_GAIN_SELECTOR) return 0;
    const FieldSelector* row = findFieldSelector(GainFields, chosen);
    if (row == nullptr) return ERR_BAD_SELECTOR;
    return writeSelectedField(*camera, *row, value);
}
