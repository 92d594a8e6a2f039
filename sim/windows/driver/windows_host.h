// The core's host inside the kernel driver: the system's monotonic clock and
// device objects for the cameras the core plugs in.
//
// The driver answers every call at once: the system's device host hands it
// one request at a time, and the library opens its handles for overlapped
// I/O and calls without an OVERLAPPED structure, so a pended call would come
// back to it as a failure. When the core asks to be called again at a later
// camera time (a paced frame, a snapshot frame still to be triggered), the
// camera's clock is moved on to that time at once: frames are not paced, and
// a snapshot read with no trigger times out straight away.
#pragma once

#include <cstdint>

#include "host.h"
#include "kernel.h"

namespace tarvex::kernel {

class CameraDevice;

class WindowsHost final : public sim::SimHost {
public:
    explicit WindowsHost(PDRIVER_OBJECT driver);

    uint64_t realTimeUs() override;
    uint32_t plugDevice(const sim::DeviceNames& names, int32_t camera, uint64_t* token) override;
    void unplugDevice(uint64_t token) override;
    void clockModeChanged(bool) override {}

    // Moves the camera clock on so that it reads at least `us`.
    void skipTo(uint64_t us);

    // Deletes the device objects of cameras unplugged during the request
    // that is being answered (after it was completed).
    void deleteUnplugged();

private:
    PDRIVER_OBJECT driver_;
    uint64_t skippedUs_ = 0;
    LARGE_INTEGER frequency_ = {};
    static constexpr int MAX_UNPLUGGED = 64;
    CameraDevice* unplugged_[MAX_UNPLUGGED] = {};
    int unpluggedCount_ = 0;
};

}  // namespace tarvex::kernel
