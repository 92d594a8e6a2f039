#include "fault_injector.h"

#include "system_errors.h"

namespace tarvex::sim {

namespace {

constexpr uint32_t OPEN_CODE = 0;

bool matches(const tarvex_sim_fault& fault, uint32_t code, int32_t request) {
    if (fault.code == TARVEX_SIM_ANY) {
        // "Any call" means any device-control call; opening a handle is only
        // faulted when asked for by its own code.
        if (code == OPEN_CODE) return false;
    } else if (static_cast<uint32_t>(fault.code) != code) {
        return false;
    }
    if (fault.request == TARVEX_SIM_ANY) return true;
    return request >= 0 && request == fault.request;
}

}  // namespace

int32_t FaultInjector::add(const tarvex_sim_fault& fault) {
    if (fault.kind < TARVEX_SIM_FAULT_FAIL || fault.kind > TARVEX_SIM_FAULT_STATUS) {
        return TARVEX_SIM_EINVAL;
    }
    if (fault.code < TARVEX_SIM_ANY || fault.request < TARVEX_SIM_ANY || fault.request > 0xFF) {
        return TARVEX_SIM_EINVAL;
    }
    if (used_ == MAX_FAULTS) return TARVEX_SIM_ENOSPACE;
    faults_[used_++] = Armed{fault, 0};
    return 0;
}

FaultAction FaultInjector::match(uint32_t code, int32_t request) {
    FaultAction action;
    for (int i = 0; i < used_; ++i) {
        Armed& armed = faults_[i];
        if (!matches(armed.fault, code, request)) continue;
        uint64_t position = ++armed.seen;  // 1 = the first matching call since it was armed
        uint64_t nth = armed.fault.nth == 0 ? 1 : armed.fault.nth;
        bool due = position >= nth && (armed.fault.count == 0 || position - nth < armed.fault.count);
        if (!due || action.kind != 0) continue;
        action.kind = armed.fault.kind;
        action.error = armed.fault.error == 0 ? ERROR_GEN_FAILURE : armed.fault.error;
        action.shortBy = armed.fault.short_by == 0 ? 1 : armed.fault.short_by;
        action.status = armed.fault.status;
    }
    return action;
}

}  // namespace tarvex::sim
