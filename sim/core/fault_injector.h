// Faults armed on a camera: the nth matching call from now on (and `count`
// after it) fails, comes back short, unplugs the camera or answers a given
// status word. A call matches by its device-control code and, for vendor
// requests, by the request code.
#pragma once

#include <cstdint>

#include "device_call.h"
#include "tarvex_sim.h"

namespace tarvex::sim {

class FaultInjector {
public:
    static constexpr int MAX_FAULTS = 16;

    // 0, TARVEX_SIM_EINVAL for a malformed fault, TARVEX_SIM_ENOSPACE when
    // MAX_FAULTS are armed.
    int32_t add(const tarvex_sim_fault& fault);
    void clear() { used_ = 0; }

    // Counts the call against every armed fault and returns what the first
    // one that is due does to it. `request` is -1 for calls that are not
    // vendor requests.
    FaultAction match(uint32_t code, int32_t request);

private:
    struct Armed {
        tarvex_sim_fault fault;
        uint64_t seen;
    };
    Armed faults_[MAX_FAULTS];
    int used_ = 0;
};

}  // namespace tarvex::sim
