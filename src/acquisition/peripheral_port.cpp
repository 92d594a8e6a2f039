// The peripheral port of variant-2 cameras: six outputs kept as one byte and
// written whole, one action without data, three inputs.
#include "camera/locked_camera.h"
#include "transport/vendor_request.h"

using namespace tarvex;

namespace {

// Where each selector's output sits in the output byte. Outputs 2 to 5 are
// active low on the wire: their bit is set for a logical 0.
struct PeripheralOutput {
    uint8_t mask;
    unsigned shift;
    bool inverted;
};

constexpr uint8_t ACTION_SELECTOR = 4;
constexpr uint8_t LAST_SELECTOR = 6;
constexpr PeripheralOutput PeripheralOutputs[LAST_SELECTOR + 1] = {
    {0x01, 0, false},  // selector 0
    {0x02, 1, false},  // selector 1
    {0x04, 2, true},   // selector 2
    {0x08, 3, true},   // selector 3
    {0x00, 0, false},  // selector 4: the action, no output bit
    {0x10, 4, true},   // selector 5
    {0x20, 5, true},   // selector 6
};

// Input bits 1 and 2 are active low; bit 0 is read as it is.
constexpr uint8_t INPUT_BITS = 0x07;
constexpr uint8_t INVERTED_INPUTS = 0x06;

}  // namespace

extern "C" ApiStatus TARVEX_CALL TarvexPeriDeviceControl(CameraHandle handle, uint32_t selector,
                                                         uint32_t value) {
    LockedCamera camera(handle);
    if (!camera) return ERR_INVALID_HANDLE;
    if (camera->variant != VARIANT_2) return ERR_NOT_SUPPORTED;
    uint8_t chosen = static_cast<uint8_t>(selector);
    if (chosen > LAST_SELECTOR) return ERR_BAD_SELECTOR;
    if (chosen == ACTION_SELECTOR) {
        return writeVendorByte(camera->device, request::PERIPHERAL_ACTION, 0);
    }

    const PeripheralOutput& output = PeripheralOutputs[chosen];
    // The plain outputs take the value's whole low byte, shifted in as it is
    // (bits pushed past bit 7 are lost); the inverted ones only its bit 0.
    uint8_t bit = output.inverted ? ((value & 1u) == 0 ? 1 : 0) : static_cast<uint8_t>(value);
    // The record holds the new byte before the request goes out, and keeps it
    // if the request fails.
    uint8_t outputs = static_cast<uint8_t>(camera->peripheralOutputs & ~output.mask);
    outputs = static_cast<uint8_t>(outputs | (bit << output.shift));
    camera->peripheralOutputs = outputs;
    return writeVendorByte(camera->device, request::PERIPHERAL_OUTPUTS, outputs);
}

extern "C" ApiStatus TARVEX_CALL TarvexGetArriveStatus(CameraHandle handle, uint8_t* status) {
    if (status == nullptr) return ERR_OUT_OF_RANGE;
    *status = 0;
    LockedCamera camera(handle);
    if (!camera) return ERR_INVALID_HANDLE;
    if (camera->variant != VARIANT_2) return ERR_NOT_SUPPORTED;
    uint8_t inputs = 0;
    ApiStatus result = readVendorBytes(camera->device, request::PERIPHERAL_INPUTS, 0, &inputs, 1);
    if (result != 0) return result;
    *status = static_cast<uint8_t>((inputs ^ INVERTED_INPUTS) & INPUT_BITS);
    return 0;
}
