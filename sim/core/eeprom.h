// The camera's EEPROM: 0xA2 (index 0xBEEF) replaces its image as a whole.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

namespace tarvex::sim {

class Eeprom {
public:
    static constexpr uint32_t SIZE = 0x10000;
    static constexpr uint16_t WRITE_KEY = 0xBEEF;

    Eeprom() : bytes_(SIZE, 0) {}

    // Keeps the first 64 KiB of a longer image.
    void store(const uint8_t* image, uint32_t length) {
        imageBytes_ = length < SIZE ? length : SIZE;
        if (imageBytes_ != 0) std::memcpy(bytes_.data(), image, imageBytes_);
    }
    uint32_t imageBytes() const { return imageBytes_; }
    void setImageBytes(uint32_t bytes) { imageBytes_ = bytes; }
    std::vector<uint8_t>& bytes() { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
    uint32_t imageBytes_ = 0;
};

}  // namespace tarvex::sim
