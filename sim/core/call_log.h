// The calls a camera saw, as tarvex_sim_call records, in a ring of
// TARVEX_SIM_LOG_CAPACITY entries allocated when the first call is logged so
// that logging a call never allocates.
#pragma once

#include <cstdint>
#include <vector>

#include "tarvex_sim.h"

namespace tarvex::sim {

class CallLog {
public:
    static constexpr uint32_t CAPACITY = TARVEX_SIM_LOG_CAPACITY;

    bool paused() const { return paused_; }
    void setPaused(bool paused) { paused_ = paused; }

    // The slot for the next call (its fields zeroed); counts it.
    tarvex_sim_call& append();

    // Calls logged since the last clear, dropped ones included.
    uint64_t count() const { return count_; }
    // Copies from `first` on; returns how many were copied.
    uint32_t read(uint64_t first, tarvex_sim_call* out, uint32_t max) const;
    void clear() { count_ = 0; }

private:
    std::vector<tarvex_sim_call> ring_;
    uint64_t count_ = 0;
    bool paused_ = false;
};

}  // namespace tarvex::sim
