// Who the camera says it is: USB string descriptor 1 (the identification the
// library recognises the hardware variant by), string descriptor 2 (the model
// text) and the 18-byte USB device descriptor.
#pragma once

#include <cstdint>
#include <vector>

namespace tarvex::sim {

inline constexpr uint32_t DEVICE_DESCRIPTOR_BYTES = 18;
// A string descriptor's length byte limits it to 126 UTF-16 code units.
inline constexpr uint32_t MAX_STRING_UNITS = 126;
inline constexpr uint16_t DEFAULT_RELEASE = 0x0100;

class CameraIdentity {
public:
    CameraIdentity();

    // 8-bit text, each character one code unit.
    void setIdentification(const char* text, uint32_t length);
    void setModel(const char* text, uint32_t length);
    void setRelease(uint16_t release);

    // 1 for "S4...", 2 for "UA..." (low bytes of the first two code units), else 0.
    int32_t variant() const;

    // String descriptor `index` (0: the language list) as it travels: length,
    // type 3, UTF-16LE. Answers at most `capacity` bytes into `out`; returns
    // the bytes answered, or -1 for a descriptor the camera does not have.
    int32_t readStringDescriptor(uint8_t index, uint8_t* out, uint32_t capacity) const;

    // The code units of string 1 or 2 as bytes, for the control interface.
    std::vector<uint16_t>& stringUnits(int which) { return which == 1 ? ident_ : model_; }
    const std::vector<uint16_t>& stringUnits(int which) const { return which == 1 ? ident_ : model_; }

    uint8_t* deviceDescriptor() { return descriptor_; }
    const uint8_t* deviceDescriptor() const { return descriptor_; }

private:
    std::vector<uint16_t> ident_;
    std::vector<uint16_t> model_;
    uint8_t descriptor_[DEVICE_DESCRIPTOR_BYTES];
};

}  // namespace tarvex::sim
