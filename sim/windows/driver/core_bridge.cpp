// The driver's side of the core: one Simulator over the Windows host, and the
// control protocol unpacked from the control device's buffers.
#include "core_bridge.h"

#include <cstring>
#include <new>

#include "control.h"
#include "control_protocol.h"
#include "simulator.h"
#include "system_errors.h"

namespace tarvex::kernel {

namespace {

sim::Simulator* simulator = nullptr;

}  // namespace

bool startCore(sim::SimHost& host) {
    simulator = new (std::nothrow) sim::Simulator(host);
    return simulator != nullptr;
}

void stopCore() {
    if (simulator == nullptr) return;
    simulator->detachAll();
    delete simulator;
    simulator = nullptr;
}

uint32_t openCamera(int32_t camera, const char* nameRest, void** file) {
    *file = nullptr;
    return simulator->openHandle(camera, nameRest);
}

void closeCamera(int32_t camera, void*) {
    simulator->closeHandle(camera);
}

sim::CallOutcome callCamera(int32_t camera, void*, sim::DeviceCall& call) {
    return simulator->deviceControl(camera, call);
}

// Input: a ControlRequest, then the request's bulk data. Output: a
// ControlReply, then room for the bulk data it returns.
uint32_t controlCore(const void* requestBytes, uint32_t requestSize, void* replyBytes, uint32_t replySize,
                     uint32_t* replyLength) {
    *replyLength = 0;
    if (requestBytes == nullptr || requestSize < sizeof(sim::ControlRequest) || replyBytes == nullptr ||
        replySize < sizeof(sim::ControlReply)) {
        return sim::ERROR_INVALID_PARAMETER;
    }
    // Aligned copy: the request holds 64-bit fields.
    auto* request = new (std::nothrow) sim::ControlRequest;
    if (request == nullptr) return sim::ERROR_GEN_FAILURE;
    std::memcpy(static_cast<void*>(request), requestBytes, sizeof *request);

    sim::ControlReply reply;
    if (request->operation == sim::ControlOperation::ClockVirtual && request->clock.enable != 0) {
        // The system's tick count is real here: the library's time-outs run
        // on it, so a virtual camera clock would only confuse them.
        reply = sim::ControlReply{TARVEX_SIM_EINVAL, 0};
    } else {
        auto* out = static_cast<uint8_t*>(replyBytes);
        sim::ControlData data{static_cast<const uint8_t*>(requestBytes) + sizeof *request,
                              requestSize - static_cast<uint32_t>(sizeof *request),
                              out + sizeof(sim::ControlReply),
                              replySize - static_cast<uint32_t>(sizeof(sim::ControlReply))};
        reply = sim::executeControl(*simulator, *request, data);
    }
    delete request;
    std::memcpy(replyBytes, &reply, sizeof reply);
    *replyLength = replySize;
    return 0;
}

}  // namespace tarvex::kernel
