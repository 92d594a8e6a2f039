// The driver's frame stream: armed with a frame size (code 340), switched on
// and off by the controller (0xBC), and read one frame per code-350 call.
// Paced, a frame is ready only once the previous one has crossed the link.
#pragma once

#include <cstdint>

#include "frame_renderer.h"
#include "usb_link.h"

namespace tarvex::sim {

class FrameStream {
public:
    void arm(uint32_t bytes) { armedBytes_ = bytes; }
    uint32_t armedBytes() const { return armedBytes_; }

    // 0xBC: switching on starts the frame timing afresh.
    void setAcquisition(bool on, uint64_t nowUs) {
        if (on && !acquiring_) {
            lastFrameUs_ = nowUs;
            originUs_ = nowUs;
        }
        acquiring_ = on;
    }
    bool acquiring() const { return acquiring_; }

    bool paced() const { return paced_; }
    void setPaced(bool paced) { paced_ = paced; }

    // When a frame of `bytes` started no earlier than `startUs` is ready.
    uint64_t readyAtUs(uint32_t bytes, uint64_t startUs) const {
        if (!paced_) return 0;
        uint64_t from = startUs > lastFrameUs_ ? startUs : lastFrameUs_;
        return from + linkTimeUs(bytes);
    }

    // Writes exactly `length` bytes of the frame that was ready at `readyUs`
    // into `out`. A reader less than a frame late keeps the sensor's cadence;
    // a later one restarts it.
    uint32_t deliver(const uint16_t* registers, uint8_t* out, uint32_t length, uint64_t nowUs,
                     uint64_t readyUs) {
        renderer_.update(registers);
        ++delivered_;
        bool onCadence = readyUs != 0 && nowUs >= readyUs && nowUs - readyUs < linkTimeUs(length);
        lastFrameUs_ = onCadence ? readyUs : nowUs;
        return renderer_.deliver(static_cast<uint32_t>(delivered_), out, length);
    }
    uint64_t framesDelivered() const { return delivered_; }

    // Where the frame timing of the sync level counts from.
    uint64_t timingOriginUs() const { return originUs_; }

private:
    FrameRenderer renderer_;
    uint32_t armedBytes_ = 0;
    bool acquiring_ = false;
    bool paced_ = false;
    uint64_t lastFrameUs_ = 0;
    uint64_t originUs_ = 0;
    uint64_t delivered_ = 0;
};

}  // namespace tarvex::sim
