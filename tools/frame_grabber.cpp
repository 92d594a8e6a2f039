#include "frame_grabber.h"

namespace tarvex_tool {

FrameGrabber::FrameGrabber(CameraHandle camera, FrameSize size, bool softwareTrigger)
    : camera_(camera), size_(size), softwareTrigger_(softwareTrigger), buffer_(size.bytes()) {}

int32_t FrameGrabber::grab() {
    bytesReturned_ = 0;
    if (softwareTrigger_) {
        ApiStatus fired = TarvexTriggerShot(camera_);
        if (fired != 0) {
            failedCall_ = "TarvexTriggerShot";
            return fired;
        }
    }
    failedCall_ = "TarvexTransfer";
    uint32_t bytes = 0;
    int32_t status = TarvexTransfer(camera_, buffer_.data(), &bytes);
    if (status >= 0) bytesReturned_ = bytes;
    return status;
}

}  // namespace tarvex_tool
