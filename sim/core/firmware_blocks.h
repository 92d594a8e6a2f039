// Raw blocks for the controller's firmware: 0xBD and 0xBF deliver one, 0xC3
// reads the last one back (zeros beyond its end).
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

namespace tarvex::sim {

class FirmwareBlocks {
public:
    static constexpr uint32_t SIZE = 0x10000;

    FirmwareBlocks() : bytes_(SIZE, 0) {}

    void store(const uint8_t* block, uint32_t length) {
        length_ = length < SIZE ? length : SIZE;
        if (length_ != 0) std::memcpy(bytes_.data(), block, length_);
        std::memset(bytes_.data() + length_, 0, SIZE - length_);
    }
    void readBack(uint8_t* out, uint32_t length) const {
        uint32_t kept = length < SIZE ? length : SIZE;
        if (kept != 0) std::memcpy(out, bytes_.data(), kept);
        if (length > kept) std::memset(out + kept, 0, length - kept);
    }
    uint32_t length() const { return length_; }
    std::vector<uint8_t>& bytes() { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
    uint32_t length_ = 0;
};

}  // namespace tarvex::sim
