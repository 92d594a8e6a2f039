// One device-control call on its way through the camera, and what the host
// does next: return it, or wait and hand it back.
#pragma once

#include <cstdint>

namespace tarvex::sim {

// A fault picked for a call when it arrived; it holds across retries.
struct FaultAction {
    int32_t kind = 0;  // 0 none, else a tarvex_sim_fault_kind
    uint32_t error = 0;
    uint32_t shortBy = 0;
    int32_t status = 0;
};

struct DeviceCall {
    // From the caller.
    uint32_t code = 0;
    const uint8_t* in = nullptr;
    uint32_t inSize = 0;
    uint8_t* out = nullptr;
    uint32_t outSize = 0;
    // The answer.
    uint32_t bytesReturned = 0;
    uint32_t error = 0;
    // Kept between retries of a call that had to wait.
    bool arrived = false;
    uint8_t inHead[32] = {};  // the first input bytes as they came (the output may overwrite them)
    uint64_t arrivalUs = 0;
    FaultAction fault;
};

enum class WaitReason : uint32_t {
    None,
    FrameReadout,  // a paced frame: only time makes it ready
    Trigger,       // a snapshot frame: another thread's trigger may end the wait early
};

struct CallOutcome {
    WaitReason wait = WaitReason::None;
    uint64_t retryAtUs = 0;  // with a wait: call again at this camera time

    static CallOutcome done() { return {}; }
    static CallOutcome waitUntil(WaitReason reason, uint64_t us) { return {reason, us}; }
    bool finished() const { return wait == WaitReason::None; }
};

}  // namespace tarvex::sim
