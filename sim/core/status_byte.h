// The controller's status byte (vendor request 0xB4). Bit 0 is set by the
// polled writes 0xB0, 0xBA and 0xBD, bit 1 by 0xBF; a set bit stays visible
// for a configurable number of status reads and then clears, which is how
// the controller "finishes" the write.
#pragma once

#include <cstdint>

namespace tarvex::sim {

class StatusByte {
public:
    static constexpr int BIT_WRITE = 0;
    static constexpr int BIT_BLOCK_WRITE = 1;
    static constexpr int64_t NEVER_CLEARS = -1;

    // A polled write of `bit` arrived.
    void setBusy(int bit) { remaining_[bit] = readsSeeingBusy_[bit]; }

    // One status read: the byte as seen now; each set bit then counts the read.
    uint8_t read() {
        uint8_t value = 0;
        for (int bit = 0; bit < 2; ++bit) {
            if (remaining_[bit] == 0) continue;
            value |= static_cast<uint8_t>(1u << bit);
            if (remaining_[bit] > 0) --remaining_[bit];
        }
        return value;
    }

    // Status reads that see `bit` set after a polled write (-1: forever).
    int64_t readsSeeingBusy(int bit) const { return readsSeeingBusy_[bit]; }
    bool setReadsSeeingBusy(int bit, int64_t reads) {
        if (reads < NEVER_CLEARS) return false;
        readsSeeingBusy_[bit] = reads;
        // A bit that is set now follows the new setting at once.
        if (remaining_[bit] != 0) remaining_[bit] = reads;
        return true;
    }

private:
    int64_t readsSeeingBusy_[2] = {1, 1};
    int64_t remaining_[2] = {0, 0};
};

}  // namespace tarvex::sim
