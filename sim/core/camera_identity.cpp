#include "camera_identity.h"

#include <cstring>

namespace tarvex::sim {

namespace {

constexpr uint8_t STRING_DESCRIPTOR_TYPE = 3;

void assignUnits(std::vector<uint16_t>& units, const char* text, uint32_t length) {
    if (length > MAX_STRING_UNITS) length = MAX_STRING_UNITS;
    units.assign(length, 0);
    for (uint32_t i = 0; i < length; ++i) units[i] = static_cast<uint8_t>(text[i]);
}

}  // namespace

CameraIdentity::CameraIdentity() {
    // A vendor-class USB 2.0 high-speed device with one configuration.
    static constexpr uint8_t initial[DEVICE_DESCRIPTOR_BYTES] = {
        18,   1,           // bLength, bDescriptorType
        0x00, 0x02,        // bcdUSB 2.00
        0xFF, 0x00, 0x00,  // vendor-specific class
        64,                // bMaxPacketSize0
        0x17, 0x22,        // idVendor
        0x80, 0x12,        // idProduct
        0x00, 0x01,        // bcdDevice, the release
        0,    2,    1,     // iManufacturer, iProduct (the model), iSerialNumber (the identification)
        1,                 // bNumConfigurations
    };
    std::memcpy(descriptor_, initial, sizeof descriptor_);
    setRelease(DEFAULT_RELEASE);
}

void CameraIdentity::setIdentification(const char* text, uint32_t length) {
    assignUnits(ident_, text, length);
}

void CameraIdentity::setModel(const char* text, uint32_t length) {
    assignUnits(model_, text, length);
}

void CameraIdentity::setRelease(uint16_t release) {
    descriptor_[12] = static_cast<uint8_t>(release);
    descriptor_[13] = static_cast<uint8_t>(release >> 8);
}

int32_t CameraIdentity::variant() const {
    if (ident_.size() < 2) return 0;
    uint8_t first = static_cast<uint8_t>(ident_[0]);
    uint8_t second = static_cast<uint8_t>(ident_[1]);
    if (first == 'S' && second == '4') return 1;
    if (first == 'U' && second == 'A') return 2;
    return 0;
}

int32_t CameraIdentity::readStringDescriptor(uint8_t index, uint8_t* out, uint32_t capacity) const {
    uint8_t whole[2 + 2 * MAX_STRING_UNITS];
    uint32_t length;
    if (index == 0) {
        // The language list: English (United States) only.
        whole[2] = 0x09;
        whole[3] = 0x04;
        length = 4;
    } else if (index == 1 || index == 2) {
        const std::vector<uint16_t>& units = index == 1 ? ident_ : model_;
        length = 2 + 2 * static_cast<uint32_t>(units.size());
        for (size_t i = 0; i < units.size(); ++i) {
            whole[2 + 2 * i] = static_cast<uint8_t>(units[i]);
            whole[3 + 2 * i] = static_cast<uint8_t>(units[i] >> 8);
        }
    } else {
        return -1;
    }
    whole[0] = static_cast<uint8_t>(length);
    whole[1] = STRING_DESCRIPTOR_TYPE;
    uint32_t answered = capacity < length ? capacity : length;
    if (answered != 0) std::memcpy(out, whole, answered);
    return static_cast<int32_t>(answered);
}

}  // namespace tarvex::sim
