// Command 37: strobe setup over sensor register 0x1E and the strobe-polarity
// request.
#include "info/command_operations.h"
#include "sensor/sensor_registers.h"
#include "transport/vendor_request.h"

namespace tarvex {

namespace {
constexpr uint32_t STROBE_REGISTER = 0x1E;
constexpr int32_t STROBE_MODE_0 = 0;
constexpr int32_t STROBE_MODE_1 = 1;
}  // namespace

ApiStatus setUpStrobe(CameraState& camera, const StrobeSetup& setup) {
    uint8_t polarityByte = 0;
    if (setup.mode == STROBE_MODE_0) {
        // Bits 9 and 10 set; bit 11 stays as it is.
        ApiStatus status =
            writeRegisterField(camera.device, camera.sensorShadow, STROBE_REGISTER, 0x0600, 3, 9);
        if (status != 0) return status;
        polarityByte = static_cast<uint8_t>(setup.polarity);
    } else if (setup.mode == STROBE_MODE_1) {
        // Bits 9 and 11 cleared, one write each; bit 10 stays as it is. Only
        // the second write decides: it carries the first change along anyway,
        // since each write sends the whole shadow value.
        writeRegisterField(camera.device, camera.sensorShadow, STROBE_REGISTER, 0x0200, 0, 9);
        ApiStatus status =
            writeRegisterField(camera.device, camera.sensorShadow, STROBE_REGISTER, 0x0800, 0, 11);
        if (status != 0) return status;
        // This mode drives the strobe with the inverse sense.
        polarityByte = setup.polarity == 0 ? 1 : 0;
    } else {
        return ERR_BAD_SELECTOR;
    }
    return writeVendorByte(camera.device, request::STROBE_POLARITY, polarityByte);
}

}  // namespace tarvex
