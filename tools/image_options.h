// The picture settings that `snap` and `stream` share: resolution mode,
// window, blanking, mirror, exposure, gains, ADC mode and levels, and
// snapshot acquisition with a software trigger.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "tarvex.h"

namespace CLI {
class App;
}

namespace tarvex_tool {

struct ImageOptions {
    uint32_t mode = 0;
    std::vector<int32_t> window;  // empty, or x, y, width, height
    std::vector<int32_t> delay;   // empty, or horizontal, vertical
    bool mirror = false;
    std::optional<int32_t> exposure;
    std::optional<int32_t> exposureDelay;
    std::vector<int32_t> gains;      // empty, one for all four channels, or four
    std::vector<int32_t> adcLevels;  // the same
    std::optional<int32_t> adcMode;
    std::optional<uint32_t> snapshotMode;  // 1 to 3: one frame per software trigger
};

struct FrameSize {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t bytes() const { return width * height; }
};

void addImageOptions(CLI::App& command, ImageOptions& options);

// The checks that need more than one option (a window inside the mode's
// picture, four values or one). Returns the frame size the settings give.
// Throws UsageError.
FrameSize checkImageOptions(const ImageOptions& options);

// Sends the settings: the resolution mode and the window always (the window
// is the frame size, and a camera keeps the last run's registers), the others
// when given. Throws CameraCallFailed.
void applyImageOptions(CameraHandle camera, const ImageOptions& options);

}  // namespace tarvex_tool
