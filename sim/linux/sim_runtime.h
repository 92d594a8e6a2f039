// The simulator inside the Linux library: one instance, its host over the
// device namespace of tarvex_device.h, and the one lock every entry into the
// camera core is made under.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "core/control.h"
#include "core/simulator.h"

namespace tarvex::sim {

class LinuxHost final : public SimHost {
public:
    uint64_t realTimeUs() override;
    uint32_t plugDevice(const DeviceNames& names, int32_t camera, uint64_t* token) override;
    void unplugDevice(uint64_t token) override;
    void clockModeChanged(bool) override {}
};

struct SimRuntime {
    std::mutex lock;
    // Signalled after every entry into the core: a waiting call looks again.
    std::condition_variable changed;
    uint64_t generation = 0;
    LinuxHost host;
    Simulator simulator{host};
    // The virtual clock as the library's tick count reads it, without the lock.
    std::atomic<uint64_t> virtualUs{0};
    bool tickSourceInstalled = false;

    // To be called, under the lock, at the end of every entry into the core.
    void afterEntry();

    // A control request, made under the lock.
    ControlReply control(const ControlRequest& request, const ControlData& data);
};

// The process's simulator; created on first use and never destroyed, so that
// load-time and exit-time code may use it.
SimRuntime& simRuntime();

// tarvex_sim_attach_list with the default for cameras that do not say paced=.
int32_t attachCameraList(const char* list, bool defaultPaced);

}  // namespace tarvex::sim
