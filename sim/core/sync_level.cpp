#include "sync_level.h"

#include "usb_link.h"

namespace tarvex::sim {

uint8_t SyncLevel::read(uint64_t nowUs, uint64_t originUs, uint32_t frameBytes) {
    if (mode_ == SCRIPTED) {
        if (next_ < script_.size()) held_ = script_[next_++] != 0 ? 1 : 0;
        return held_;
    }
    uint64_t period = linkTimeUs(frameBytes != 0 ? frameBytes : FULL_FRAME_BYTES);
    if (period < 2) period = 2;
    // Blanking is a tenth of the frame, at least a millisecond so that a
    // poller on a coarse clock still sees it, and at most half the frame.
    uint64_t blanking = period / 10;
    if (blanking < 1000) blanking = 1000;
    if (blanking > period / 2) blanking = period / 2;
    uint64_t phase = (nowUs >= originUs ? nowUs - originUs : nowUs) % period;
    return phase < period - blanking ? 1 : 0;
}

}  // namespace tarvex::sim
