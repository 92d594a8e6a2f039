// A 64 KiB memory addressed by a 16-bit index that wraps: the camera's device
// memory (0xBA / 0xBB) and the storage behind the other controller memories.
#pragma once

#include <cstdint>
#include <vector>

namespace tarvex::sim {

class WrappingMemory {
public:
    static constexpr uint32_t SIZE = 0x10000;

    WrappingMemory() : bytes_(SIZE, 0) {}

    void write(uint16_t address, const uint8_t* data, uint32_t length) {
        for (uint32_t i = 0; i < length; ++i) bytes_[static_cast<uint16_t>(address + i)] = data[i];
    }
    void read(uint16_t address, uint8_t* out, uint32_t length) const {
        for (uint32_t i = 0; i < length; ++i) out[i] = bytes_[static_cast<uint16_t>(address + i)];
    }
    std::vector<uint8_t>& bytes() { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

}  // namespace tarvex::sim
