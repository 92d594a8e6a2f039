#include "call_log.h"

#include <cstring>

namespace tarvex::sim {

tarvex_sim_call& CallLog::append() {
    if (ring_.empty()) ring_.resize(CAPACITY);
    tarvex_sim_call& call = ring_[count_ % CAPACITY];
    std::memset(&call, 0, sizeof call);
    ++count_;
    return call;
}

uint32_t CallLog::read(uint64_t first, tarvex_sim_call* out, uint32_t max) const {
    uint64_t oldest = count_ > CAPACITY ? count_ - CAPACITY : 0;
    if (first < oldest) first = oldest;
    uint32_t copied = 0;
    for (uint64_t i = first; i < count_ && copied < max; ++i) out[copied++] = ring_[i % CAPACITY];
    return copied;
}

}  // namespace tarvex::sim
