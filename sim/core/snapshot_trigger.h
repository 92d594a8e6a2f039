// Snapshot acquisition: with bit 8 of sensor register 0x1E set, frames come
// only after a trigger (register 0x0B written with bit 0 set), one per
// trigger; a read waits for one at most the frame time-out.
#pragma once

#include <cstdint>

namespace tarvex::sim {

class SnapshotTrigger {
public:
    static constexpr int64_t DEFAULT_TIMEOUT_MS = 500;

    void fire(uint64_t nowUs) {
        if (pending_ == 0) oldestUs_ = nowUs;
        ++pending_;
    }
    uint32_t pending() const { return pending_; }
    // When the oldest pending trigger fired.
    uint64_t oldestUs() const { return oldestUs_; }
    // A triggered frame was delivered at `nowUs`; the next pending trigger
    // (if any) counts from then.
    void consume(uint64_t nowUs) {
        if (pending_ == 0) return;
        --pending_;
        oldestUs_ = nowUs;
    }
    void clear() { pending_ = 0; }

    int64_t timeoutMs() const { return timeoutMs_; }
    bool setTimeoutMs(int64_t ms) {
        if (ms < 0) return false;  // a read must never wait forever
        timeoutMs_ = ms;
        return true;
    }

private:
    uint32_t pending_ = 0;
    uint64_t oldestUs_ = 0;
    int64_t timeoutMs_ = DEFAULT_TIMEOUT_MS;
};

}  // namespace tarvex::sim
