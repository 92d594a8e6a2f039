// The picture of the simulated image sensor: a synthetic scene read out
// through the sensor's window, resolution mode, mirror, exposure and gains.
//
// The camera keeps one frame ready; delivering a frame is a copy of it with
// the frame counter stamped in, so that the per-frame cost is one copy.
#pragma once

#include <cstdint>
#include <vector>

namespace tarvex::sim {

class FrameRenderer {
public:
    // Brings the kept frame up to date with the sensor registers (256
    // registers, indexed by address). Cheap when nothing that shapes the
    // picture has changed since the last call.
    void update(const uint16_t* registers);

    // Bytes of one frame as the current window yields it (width x height).
    uint32_t naturalBytes() const;

    // Writes exactly `length` bytes of frame `number` into `out`: the kept
    // frame (continued with black beyond its end), with the frame counter
    // stamped in. Returns `length`.
    uint32_t deliver(uint32_t number, uint8_t* out, uint32_t length) const;

private:
    std::vector<uint8_t> frame_;
    uint32_t width_ = 0;
    uint32_t height_ = 0;
    uint64_t shapeKey_ = ~0ull;
};

}  // namespace tarvex::sim
