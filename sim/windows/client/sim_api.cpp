// The tarvex_sim_* functions on Windows: each one is a control request sent
// to the simulated driver's control device. The arguments are checked here
// as the Linux library checks them, so that a bad call costs no round trip.
#include <cstring>

#include "control_client.h"
#include "tarvex_sim.h"

namespace {

using tarvex::sim::ControlOperation;
using tarvex::sim::ControlRequest;
using tarvex::sim::windows::sendControl;

ControlRequest makeRequest(ControlOperation operation, int32_t camera = 0) {
    ControlRequest request;
    std::memset(static_cast<void*>(&request), 0, sizeof request);
    request.operation = operation;
    request.camera = camera;
    return request;
}

int64_t run(const ControlRequest& request, const void* in = nullptr, uint32_t inSize = 0, void* out = nullptr,
            uint32_t outSize = 0) {
    return sendControl(request, in, inSize, out, outSize).result;
}

int32_t runStatus(const ControlRequest& request, const void* in = nullptr, uint32_t inSize = 0,
                  void* out = nullptr, uint32_t outSize = 0) {
    return static_cast<int32_t>(run(request, in, inSize, out, outSize));
}

int32_t attachText(ControlOperation operation, const char* text) {
    if (text == nullptr) return TARVEX_SIM_EINVAL;
    size_t length = std::strlen(text);
    if (length > tarvex::sim::CONTROL_TEXT_BYTES) return TARVEX_SIM_EINVAL;
    ControlRequest request = makeRequest(operation);
    request.attach.length = static_cast<uint32_t>(length);
    request.attach.defaultPaced = 0;
    std::memcpy(request.attach.text, text, length);
    return runStatus(request);
}

}  // namespace

extern "C" {

int32_t tarvex_sim_attach(const char* description) {
    return attachText(ControlOperation::Attach, description);
}

int32_t tarvex_sim_attach_list(const char* list) {
    return attachText(ControlOperation::AttachList, list);
}

int32_t tarvex_sim_detach(int32_t camera) {
    return runStatus(makeRequest(ControlOperation::Detach, camera));
}

int32_t tarvex_sim_detach_all(void) {
    return runStatus(makeRequest(ControlOperation::DetachAll));
}

int32_t tarvex_sim_cameras(int32_t* ids, int32_t max) {
    if (max < 0 || (ids == nullptr && max > 0)) return TARVEX_SIM_EINVAL;
    ControlRequest request = makeRequest(ControlOperation::ListCameras);
    request.list.max = max;
    return runStatus(request, nullptr, 0, ids, static_cast<uint32_t>(max) * sizeof(int32_t));
}

int32_t tarvex_sim_get(int32_t camera, int32_t property, int64_t* value) {
    if (value == nullptr) return TARVEX_SIM_EINVAL;
    ControlRequest request = makeRequest(ControlOperation::GetProperty, camera);
    request.property.property = property;
    tarvex::sim::ControlReply reply = sendControl(request, nullptr, 0, nullptr, 0);
    if (reply.result == 0) *value = reply.value;
    return static_cast<int32_t>(reply.result);
}

int32_t tarvex_sim_set(int32_t camera, int32_t property, int64_t value) {
    ControlRequest request = makeRequest(ControlOperation::SetProperty, camera);
    request.property.property = property;
    request.property.value = value;
    return runStatus(request);
}

int32_t tarvex_sim_read_memory(int32_t camera, int32_t memory, uint32_t offset, void* buffer,
                               uint32_t length) {
    if (buffer == nullptr && length != 0) return TARVEX_SIM_EINVAL;
    ControlRequest request = makeRequest(ControlOperation::ReadMemory, camera);
    request.memory = {memory, offset, length};
    return runStatus(request, nullptr, 0, buffer, length);
}

int32_t tarvex_sim_write_memory(int32_t camera, int32_t memory, uint32_t offset, const void* data,
                                uint32_t length) {
    if (data == nullptr && length != 0) return TARVEX_SIM_EINVAL;
    ControlRequest request = makeRequest(ControlOperation::WriteMemory, camera);
    request.memory = {memory, offset, length};
    return runStatus(request, data, length);
}

int32_t tarvex_sim_add_fault(int32_t camera, const tarvex_sim_fault* fault) {
    if (fault == nullptr) return TARVEX_SIM_EINVAL;
    ControlRequest request = makeRequest(ControlOperation::AddFault, camera);
    request.fault = *fault;
    return runStatus(request);
}

int32_t tarvex_sim_clear_faults(int32_t camera) {
    return runStatus(makeRequest(ControlOperation::ClearFaults, camera));
}

int32_t tarvex_sim_script_sync(int32_t camera, const uint8_t* levels, uint32_t count) {
    if (levels == nullptr && count != 0) return TARVEX_SIM_EINVAL;
    ControlRequest request = makeRequest(ControlOperation::ScriptSync, camera);
    request.sync.count = count;
    return runStatus(request, levels, count);
}

int64_t tarvex_sim_log_count(int32_t camera) {
    return run(makeRequest(ControlOperation::LogCount, camera));
}

int32_t tarvex_sim_log_read(int32_t camera, int64_t first, tarvex_sim_call* calls, int32_t max) {
    if (max < 0 || (calls == nullptr && max > 0)) return TARVEX_SIM_EINVAL;
    uint64_t bytes = static_cast<uint64_t>(max) * sizeof(tarvex_sim_call);
    if (bytes > UINT32_MAX - sizeof(tarvex::sim::ControlReply)) return TARVEX_SIM_EINVAL;
    ControlRequest request = makeRequest(ControlOperation::LogRead, camera);
    request.log.first = first;
    request.log.max = max;
    return runStatus(request, nullptr, 0, calls, static_cast<uint32_t>(bytes));
}

int32_t tarvex_sim_log_clear(int32_t camera) {
    return runStatus(makeRequest(ControlOperation::LogClear, camera));
}

int32_t tarvex_sim_log_pause(int32_t camera, int32_t paused) {
    ControlRequest request = makeRequest(ControlOperation::LogPause, camera);
    request.log.paused = paused;
    return runStatus(request);
}

// The driver refuses a virtual clock (the library's tick count is the
// system's own here): tests that need one skip.
int32_t tarvex_sim_clock_virtual(int32_t enable, uint32_t start_ms, uint32_t step_us) {
    ControlRequest request = makeRequest(ControlOperation::ClockVirtual);
    request.clock.enable = enable;
    request.clock.startMs = start_ms;
    request.clock.stepUs = step_us;
    return runStatus(request);
}

int64_t tarvex_sim_clock_ms(void) {
    return run(makeRequest(ControlOperation::ClockRead));
}

int32_t tarvex_sim_clock_advance_us(uint64_t us) {
    ControlRequest request = makeRequest(ControlOperation::ClockAdvance);
    request.clock.advanceUs = us;
    return runStatus(request);
}

}  // extern "C"
