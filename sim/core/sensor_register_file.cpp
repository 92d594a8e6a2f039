#include "sensor_register_file.h"

#include <cstring>

namespace tarvex::sim {

namespace {

struct PowerOnValue {
    uint8_t address;
    uint16_t value;
};

// The sensor's power-on values of the registers the library mirrors; every
// other register starts at 0.
constexpr PowerOnValue POWER_ON[] = {
    {0x00, 0x8401}, {0x01, 0x000C}, {0x02, 0x0014}, {0x03, 0x03FF}, {0x04, 0x04FF}, {0x05, 0x0009},
    {0x06, 0x0019}, {0x07, 0x0002}, {0x09, 0x0419}, {0x0B, 0x0000}, {0x0C, 0x0000}, {0x0D, 0x0000},
    {0x1E, 0x8600}, {0x20, 0x1304}, {0x2B, 0x0008}, {0x2C, 0x0008}, {0x2D, 0x0008}, {0x2E, 0x0008},
    {0x35, 0x0008}, {0x5F, 0x0904}, {0x60, 0x0000}, {0x61, 0x0000}, {0x62, 0x8498}, {0x63, 0x0000},
    {0x64, 0x0000}, {0xF1, 0x0001},
};

}  // namespace

void SensorRegisterFile::powerOn() {
    std::memset(values_, 0, sizeof values_);
    for (const PowerOnValue& entry : POWER_ON) values_[entry.address] = entry.value;
    pointer_ = 0;
}

SensorRegisterFile::FrameEffect SensorRegisterFile::writeFrame(const uint8_t* frame, uint32_t length) {
    FrameEffect effect;
    if (length == 0) return effect;
    pointer_ = frame[0];
    uint8_t address = pointer_;
    // A trailing odd byte is half a value: the sensor ignores it.
    uint32_t count = (length - 1) / 2;
    for (uint32_t k = 0; k < count; ++k) {
        uint16_t value = static_cast<uint16_t>((frame[1 + 2 * k] << 8) | frame[2 + 2 * k]);
        values_[address] = value;
        if (address == TRIGGER && (value & TRIGGER_BIT) != 0) effect.triggered = true;
        if (address == SNAPSHOT_CONTROL) effect.modeWritten = true;
        address = static_cast<uint8_t>(address + 1);
    }
    return effect;
}

void SensorRegisterFile::readInto(uint8_t* out, uint32_t length) const {
    uint8_t address = pointer_;
    for (uint32_t i = 0; i + 1 < length; i += 2) {
        out[i] = static_cast<uint8_t>(values_[address] >> 8);
        out[i + 1] = static_cast<uint8_t>(values_[address]);
        address = static_cast<uint8_t>(address + 1);
    }
    // An odd length ends with the high byte of the next register.
    if (length % 2 != 0) out[length - 1] = static_cast<uint8_t>(values_[address] >> 8);
}

}  // namespace tarvex::sim
