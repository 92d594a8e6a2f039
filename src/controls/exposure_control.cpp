// The sensor's exposure and exposure delay.
#include "camera/locked_camera.h"
#include "controls/field_selector.h"

using namespace tarvex;

namespace {

// Selector 0 is accepted and does nothing.
constexpr uint8_t NO_EXPOSURE_SELECTOR = 0;

constexpr FieldSelector ExposureFields[] = {
    {1, 0x09, 0x3FFF},  // exposure
    {2, 0x0C, 0x07FF},  // exposure delay
};

}  // namespace

extern "C" ApiStatus TARVEX_CALL TarvexAECControl(CameraHandle handle, uint32_t selector, int32_t value) {
    LockedCamera camera(handle);
    if (!camera) return ERR_INVALID_HANDLE;
    uint8_t chosen = static_cast<uint8_t>(selector);
    if (chosen == NO_EXPOSURE_SELECTOR) return 0;
    const FieldSelector* row = findFieldSelector(ExposureFields, chosen);
    if (row == nullptr) return ERR_BAD_SELECTOR;
    return writeSelectedField(*camera, *row, value);
}
