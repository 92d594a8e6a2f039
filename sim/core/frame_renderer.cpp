#include "frame_renderer.h"

#include <cstring>

#include "scene.h"

namespace tarvex::sim {

namespace {

uint32_t windowExtent(uint16_t registerValue) {
    uint32_t last = registerValue < SENSOR_MAX_WINDOW - 1 ? registerValue : SENSOR_MAX_WINDOW - 1;
    return last + 1;
}

}  // namespace

FrameShape FrameShape::fromRegisters(const uint16_t* registers) {
    FrameShape shape;
    shape.firstRow = registers[0x01];
    shape.firstColumn = registers[0x02];
    shape.rows = windowExtent(registers[0x03]);
    shape.columns = windowExtent(registers[0x04]);
    if ((registers[0x1E] & 0x0030) == 0x0030)
        shape.scale = 8;
    else if ((registers[0x1E] & 0x000C) == 0x000C)
        shape.scale = 4;
    else if ((registers[0x20] & 0x0018) == 0x0018)
        shape.scale = 2;
    shape.mirrorColumns = (registers[0x20] & 0x0080) != 0;
    shape.mirrorRows = (registers[0x20] & 0x8000) != 0;
    shape.exposure = registers[0x09] & 0x3FFFu;
    for (int channel = 0; channel < 4; ++channel) shape.gains[channel] = registers[0x2B + channel] & 0x7Fu;
    return shape;
}

void FrameRenderer::update(const uint16_t* registers) {
    FrameShape shape = FrameShape::fromRegisters(registers);
    if (drawn_ && shape == shape_) return;
    shape_ = shape;
    render();
}

void FrameRenderer::render() {
    // One brightness table per place in the 2x2 gain pattern.
    uint8_t levels[4][256];
    for (int channel = 0; channel < 4; ++channel)
        for (int value = 0; value < 256; ++value)
            levels[channel][value] =
                exposedPixel(static_cast<uint8_t>(value), shape_.exposure, shape_.gains[channel]);

    uint32_t width = shape_.width();
    uint32_t height = shape_.height();
    frame_.resize(static_cast<size_t>(width) * height);
    for (uint32_t y = 0; y < height; ++y) {
        uint32_t readRow = shape_.mirrorRows ? height - 1 - y : y;
        uint32_t sensorRow = shape_.firstRow + readoutOffset(readRow, shape_.scale);
        uint8_t* line = frame_.data() + static_cast<size_t>(y) * width;
        for (uint32_t x = 0; x < width; ++x) {
            uint32_t readColumn = shape_.mirrorColumns ? width - 1 - x : x;
            uint32_t sensorColumn = shape_.firstColumn + readoutOffset(readColumn, shape_.scale);
            uint32_t channel = ((sensorRow & 1u) << 1) | (sensorColumn & 1u);
            line[x] = levels[channel][sensorPixel(sensorColumn, sensorRow)];
        }
    }
    drawn_ = true;
    ++renderCount_;
}

uint32_t FrameRenderer::naturalBytes() const {
    return static_cast<uint32_t>(frame_.size());
}

uint32_t FrameRenderer::deliver(uint32_t number, uint8_t* out, uint32_t length) const {
    uint32_t natural = naturalBytes();
    uint32_t copied = length < natural ? length : natural;
    if (length == 0) return 0;
    if (copied != 0) std::memcpy(out, frame_.data(), copied);
    std::memset(out + copied, 0, length - copied);
    stampFrameCounter(out, width(), height(), copied, number);
    return length;
}

}  // namespace tarvex::sim
