// The converter: its mode, held by the controller, and the sensor's ADC flag
// and channel levels.
#include "camera/locked_camera.h"
#include "controls/field_selector.h"
#include "transport/vendor_request.h"

using namespace tarvex;

namespace {

constexpr uint8_t ADC_MODE_SELECTOR = 0;

// The channel levels do not lie in register order.
constexpr FieldSelector AdcFields[] = {
    {1, 0x62, 0x0001},   // ADC flag
    {16, 0x63, 0x01FF},  // channel level 0
    {17, 0x60, 0x01FF},  // channel level 1
    {18, 0x61, 0x01FF},  // channel level 2
    {19, 0x64, 0x01FF},  // channel level 3
};

}  // namespace

extern "C" ApiStatus TARVEX_CALL TarvexADCControl(CameraHandle handle, uint32_t selector, int32_t value) {
    LockedCamera camera(handle);
    if (!camera) return ERR_INVALID_HANDLE;
    uint8_t chosen = static_cast<uint8_t>(selector);
    if (chosen == ADC_MODE_SELECTOR) {
        // The controller takes the low byte; the record keeps the whole value.
        ApiStatus result = writeVendorByte(camera->device, request::ADC_MODE, static_cast<uint8_t>(value));
        if (result == 0) camera->adcMode = value;
        return result;
    }
    const FieldSelector* row = findFieldSelector(AdcFields, chosen);
    if (row == nullptr) return ERR_BAD_SELECTOR;
    return writeSelectedField(*camera, *row, value);
}
