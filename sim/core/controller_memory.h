// The USB controller's 64 KiB memory that firmware downloads (vendor request
// 0xA0) fill, and its CPU control byte at 0xE600 (1 holds the CPU, 0 runs it).
#pragma once

#include <cstdint>
#include <vector>

namespace tarvex::sim {

class ControllerMemory {
public:
    static constexpr uint32_t SIZE = 0x10000;
    static constexpr uint16_t CPU_CONTROL_ADDRESS = 0xE600;

    ControllerMemory() : bytes_(SIZE, 0) {}

    // A download chunk at `address` (wrapping at 64 KiB).
    void load(uint16_t address, const uint8_t* data, uint32_t length) {
        for (uint32_t i = 0; i < length; ++i) store(static_cast<uint16_t>(address + i), data[i]);
        if (length == 0) return;
        uint32_t end = static_cast<uint32_t>(address) + length;
        if (end > SIZE) end = SIZE;  // a wrapped chunk has loaded the top of memory
        if (end > loadedEnd_) loadedEnd_ = end;
    }

    void store(uint16_t address, uint8_t byte) { bytes_[address] = byte; }

    uint8_t cpuByte() const { return bytes_[CPU_CONTROL_ADDRESS]; }
    uint32_t loadedBytes() const { return loadedEnd_; }
    std::vector<uint8_t>& bytes() { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
    uint32_t loadedEnd_ = 0;
};

}  // namespace tarvex::sim
