#include "platform/linux/allocation_faults.h"

#include <cstdint>
#include <mutex>

#include "tarvex_device.h"

namespace tarvex::platform {
namespace {

constexpr int kKinds = 3;

// Attempts still to pass before the failures begin, then failures to give.
struct FaultPlan {
    uint32_t passesLeft = 0;
    uint32_t failuresLeft = 0;
};

// Constant-initialised: allocations made by load-time constructors may
// consult it before any dynamic initialiser of this file has run.
constinit std::mutex planLock;
constinit FaultPlan plans[kKinds];

bool knownKind(int kind) {
    return kind >= 0 && kind < kKinds;
}

}  // namespace

bool allocationShouldFail(int kind) {
    if (!knownKind(kind)) return false;
    std::lock_guard guard(planLock);
    FaultPlan& plan = plans[kind];
    if (plan.failuresLeft == 0) return false;
    if (plan.passesLeft > 0) {
        --plan.passesLeft;
        return false;
    }
    --plan.failuresLeft;
    return true;
}

}  // namespace tarvex::platform

extern "C" void tarvex_system_fail_allocation(int kind, uint32_t nth, uint32_t count) {
    using namespace tarvex::platform;
    if (!knownKind(kind)) return;
    std::lock_guard guard(planLock);
    FaultPlan& plan = plans[kind];
    if (nth == 0) {
        plan = FaultPlan{};
        return;
    }
    // A count of 0 still fails the nth one: asking for a failure gives one.
    plan.passesLeft = nth - 1;
    plan.failuresLeft = count == 0 ? 1 : count;
}
