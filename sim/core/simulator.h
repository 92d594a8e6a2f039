// All simulated cameras of one host: attaching and unplugging them, their
// common clock and call sequence, and the host's entry points for handles
// and device-control calls.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "camera_description.h"
#include "device_call.h"
#include "host.h"
#include "sim_camera.h"
#include "sim_clock.h"

namespace tarvex::sim {

inline constexpr char INTERFACE_CLASS[] = "{2217C0A0-97CF-11DE-A807-444553540000}";

class Simulator {
public:
    explicit Simulator(SimHost& host) : host_(host), clock_(host) {}

    SimClock& clock() { return clock_; }
    SimHost& host() { return host_; }

    // ---- Host entry points ----
    // A handle is being opened with `rest` following the device's name.
    // Returns 0 or the system error code that refuses it.
    uint32_t openHandle(int32_t camera, const char* rest);
    void closeHandle(int32_t camera);
    // One device-control call; when the outcome says so, the host waits and
    // calls again with the same `call`.
    CallOutcome deviceControl(int32_t camera, DeviceCall& call);

    // ---- Control ----
    // Returns the new camera's id or a TARVEX_SIM_E* code.
    int32_t attach(const CameraDescription& description, bool defaultPaced);
    // All or nothing: returns the number attached or a TARVEX_SIM_E* code.
    int32_t attachList(const CameraList& list, bool defaultPaced);
    int32_t detach(int32_t camera);
    int32_t detachAll();
    // Plugged-in cameras in attach order.
    int32_t cameraIds(int32_t* ids, int32_t max) const;
    // A camera still known (plugged or unplugged by a fault), or null.
    SimCamera* find(int32_t camera);

    void setVirtualClock(bool enable, uint64_t startUs, uint32_t stepUs);

private:
    uint32_t plug(SimCamera& camera, uint32_t number);
    void unplug(SimCamera& camera);
    void finish(SimCamera& camera, DeviceCall& call);

    SimHost& host_;
    SimClock clock_;
    std::vector<std::unique_ptr<SimCamera>> cameras_;
    int32_t nextId_ = 1;
    uint64_t sequence_ = 0;
};

// The names camera number `number` is published under.
DeviceNames makeDeviceNames(uint32_t number);

}  // namespace tarvex::sim
