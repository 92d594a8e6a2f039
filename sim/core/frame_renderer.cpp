#include "frame_renderer.h"

#include <cstring>

namespace tarvex::sim {

// A plain grey picture until the scene is drawn.
void FrameRenderer::update(const uint16_t* registers) {
    uint32_t width = static_cast<uint32_t>(registers[0x04]) + 1u;
    uint32_t height = static_cast<uint32_t>(registers[0x03]) + 1u;
    if (width == width_ && height == height_) return;
    width_ = width;
    height_ = height;
    frame_.assign(static_cast<size_t>(width) * height, 0x80);
}

uint32_t FrameRenderer::naturalBytes() const { return width_ * height_; }

uint32_t FrameRenderer::deliver(uint32_t, uint8_t* out, uint32_t length) const {
    uint32_t copied = length < frame_.size() ? length : static_cast<uint32_t>(frame_.size());
    std::memcpy(out, frame_.data(), copied);
    std::memset(out + copied, 0, length - copied);
    return length;
}

}  // namespace tarvex::sim
