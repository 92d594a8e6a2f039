// The simulated cameras that --sim attaches for one run of the tool. They are
// unplugged again when the run ends, so that a run leaves the simulated
// driver as it found it (on Windows it outlives the tool).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarvex_tool {

class SimulatedCameras {
public:
    SimulatedCameras() = default;
    ~SimulatedCameras();
    SimulatedCameras(const SimulatedCameras&) = delete;
    SimulatedCameras& operator=(const SimulatedCameras&) = delete;

    // Attaches the cameras of `description` (the syntax of TARVEX_SIM) and returns how
    // many were attached. Throws UsageError for a description the simulator refuses.
    int32_t attach(const std::string& description);

    int32_t count() const { return static_cast<int32_t>(ids_.size()); }

private:
    std::vector<int32_t> ids_;
};

}  // namespace tarvex_tool
