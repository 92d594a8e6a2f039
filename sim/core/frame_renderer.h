// The picture of the simulated image sensor: a synthetic scene read out
// through the sensor's window, resolution mode, mirror, exposure and gains
// (scene and readout rules: scene.h).
//
// The camera keeps one frame ready; delivering a frame is a copy of it with
// the frame counter stamped in, so that the per-frame cost is one copy.
#pragma once

#include <cstdint>
#include <vector>

namespace tarvex::sim {

// The register fields that shape the picture, as the sensor reads them.
struct FrameShape {
    uint32_t firstColumn = 0;
    uint32_t firstRow = 0;
    uint32_t columns = 0;  // window extent in sensor columns, at most 2048
    uint32_t rows = 0;
    uint32_t scale = 1;  // 1, 2, 4 or 8
    bool mirrorColumns = false;
    bool mirrorRows = false;
    uint32_t exposure = 0;
    uint32_t gains[4] = {};  // 2x2 pattern: even/even, even/odd, odd/even, odd/odd (row/column)

    bool operator==(const FrameShape&) const = default;

    static FrameShape fromRegisters(const uint16_t* registers);
    uint32_t width() const { return columns / scale; }
    uint32_t height() const { return rows / scale; }
};

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

    uint32_t width() const { return shape_.width(); }
    uint32_t height() const { return shape_.height(); }
    // The kept frame, without the counter.
    const uint8_t* frame() const { return frame_.data(); }
    // How often the kept frame has been drawn.
    uint32_t renderCount() const { return renderCount_; }

private:
    void render();

    std::vector<uint8_t> frame_;
    FrameShape shape_;
    bool drawn_ = false;
    uint32_t renderCount_ = 0;
};

}  // namespace tarvex::sim
