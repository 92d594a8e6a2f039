// The cameras' clock: the host's real time, or a virtual time that stands
// still except that each device-control call moves it on by a step and that
// waits jump ahead instead of sleeping.
#pragma once

#include <cstdint>

#include "host.h"

namespace tarvex::sim {

class SimClock {
public:
    explicit SimClock(SimHost& host) : host_(host) {}

    bool isVirtual() const { return virtual_; }
    uint64_t nowUs() const { return virtual_ ? virtualUs_ : host_.realTimeUs(); }

    // stepUs 0 means 1000.
    void makeVirtual(uint64_t startUs, uint32_t stepUs) {
        virtual_ = true;
        virtualUs_ = startUs;
        stepUs_ = stepUs == 0 ? 1000u : stepUs;
    }
    void makeReal() { virtual_ = false; }

    // One device-control call came in.
    void tick() {
        if (virtual_) virtualUs_ += stepUs_;
    }
    void advance(uint64_t us) {
        if (virtual_) virtualUs_ += us;
    }
    // A wait on the virtual clock ends at once, at `us`.
    void jumpTo(uint64_t us) {
        if (virtual_ && us > virtualUs_) virtualUs_ = us;
    }

private:
    SimHost& host_;
    bool virtual_ = false;
    uint64_t virtualUs_ = 0;
    uint32_t stepUs_ = 1000;
};

}  // namespace tarvex::sim
