// The image sensor behind the controller's I2C bridge: 256 16-bit registers
// with their power-on values, written by 0xB0 frames (an address byte, then
// values high byte first, to consecutive registers) and read by 0xB1 from the
// address the last frame set.
#pragma once

#include <cstdint>

namespace tarvex::sim {

class SensorRegisterFile {
public:
    static constexpr uint32_t COUNT = 256;
    static constexpr uint8_t SNAPSHOT_CONTROL = 0x1E;  // bit 8: snapshot mode
    static constexpr uint16_t SNAPSHOT_MODE_BIT = 0x0100;
    static constexpr uint8_t TRIGGER = 0x0B;  // bit 0: fire one snapshot
    static constexpr uint16_t TRIGGER_BIT = 0x0001;

    SensorRegisterFile() { powerOn(); }
    void powerOn();

    // What one write frame did to the registers that matter to acquisition.
    struct FrameEffect {
        bool triggered = false;    // register 0x0B written with bit 0 set
        bool modeWritten = false;  // register 0x1E written
    };
    // An I2C write frame; values wrap around from register 255 to 0.
    FrameEffect writeFrame(const uint8_t* frame, uint32_t length);

    // 0xB1: `length` bytes of consecutive registers from the address pointer.
    void readInto(uint8_t* out, uint32_t length) const;

    bool snapshotMode() const { return (values_[SNAPSHOT_CONTROL] & SNAPSHOT_MODE_BIT) != 0; }
    uint8_t addressPointer() const { return pointer_; }
    uint16_t* values() { return values_; }
    const uint16_t* values() const { return values_; }

private:
    uint16_t values_[COUNT];
    uint8_t pointer_ = 0;
};

}  // namespace tarvex::sim
