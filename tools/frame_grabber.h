// Fetching frames from a started stream into one reused buffer, firing the
// software trigger first in snapshot acquisition.
#pragma once

#include <cstdint>
#include <vector>

#include "image_options.h"
#include "tarvex.h"

namespace tarvex_tool {

class FrameGrabber {
public:
    FrameGrabber(CameraHandle camera, FrameSize size, bool softwareTrigger);

    // One transfer. Returns TarvexTransfer's result: 0 or a positive driver
    // status for a frame, a negative code for a failure (the trigger's
    // failure included, as it leaves no frame to fetch).
    int32_t grab();

    // Bytes the driver placed by the last successful grab().
    uint32_t bytesReturned() const { return bytesReturned_; }
    bool lastFrameComplete() const { return bytesReturned_ == size_.bytes(); }
    // The exported function whose failure the last grab() returned.
    const char* failedCall() const { return failedCall_; }
    const uint8_t* pixels() const { return buffer_.data(); }
    FrameSize size() const { return size_; }

private:
    CameraHandle camera_;
    FrameSize size_;
    bool softwareTrigger_;
    std::vector<uint8_t> buffer_;
    uint32_t bytesReturned_ = 0;
    const char* failedCall_ = "TarvexTransfer";
};

}  // namespace tarvex_tool
