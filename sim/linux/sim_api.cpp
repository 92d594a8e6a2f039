// The tarvex_sim_* functions of the Linux library: each one is a control
// request executed by the simulator in this process.
#include <cstring>

#include "sim_runtime.h"
#include "tarvex_sim.h"

namespace tarvex::sim {

namespace {

ControlRequest makeRequest(ControlOperation operation, int32_t camera = 0) {
    ControlRequest request;
    std::memset(&request, 0, sizeof request);
    request.operation = operation;
    request.camera = camera;
    return request;
}

int64_t run(const ControlRequest& request, const ControlData& data = {nullptr, 0, nullptr, 0}) {
    return simRuntime().control(request, data).result;
}

int32_t runStatus(const ControlRequest& request, const ControlData& data = {nullptr, 0, nullptr, 0}) {
    return static_cast<int32_t>(run(request, data));
}

int32_t attachText(ControlOperation operation, const char* text, bool defaultPaced) {
    if (text == nullptr) return TARVEX_SIM_EINVAL;
    size_t length = std::strlen(text);
    if (length > CONTROL_TEXT_BYTES) return TARVEX_SIM_EINVAL;
    ControlRequest request = makeRequest(operation);
    request.attach.length = static_cast<uint32_t>(length);
    request.attach.defaultPaced = defaultPaced ? 1 : 0;
    std::memcpy(request.attach.text, text, length);
    return runStatus(request);
}

}  // namespace

int32_t attachCameraList(const char* list, bool defaultPaced) {
    return attachText(ControlOperation::AttachList, list, defaultPaced);
}

}  // namespace tarvex::sim

using tarvex::sim::ControlData;
using tarvex::sim::ControlOperation;
using tarvex::sim::ControlRequest;

extern "C" {

TARVEX_SIM_API int32_t tarvex_sim_attach(const char* description) {
    return tarvex::sim::attachText(ControlOperation::Attach, description, false);
}

TARVEX_SIM_API int32_t tarvex_sim_attach_list(const char* list) {
    return tarvex::sim::attachCameraList(list, false);
}

TARVEX_SIM_API int32_t tarvex_sim_detach(int32_t camera) {
    return tarvex::sim::runStatus(tarvex::sim::makeRequest(ControlOperation::Detach, camera));
}

TARVEX_SIM_API int32_t tarvex_sim_detach_all(void) {
    return tarvex::sim::runStatus(tarvex::sim::makeRequest(ControlOperation::DetachAll));
}

TARVEX_SIM_API int32_t tarvex_sim_cameras(int32_t* ids, int32_t max) {
    if (max < 0 || (ids == nullptr && max > 0)) return TARVEX_SIM_EINVAL;
    ControlRequest request = tarvex::sim::makeRequest(ControlOperation::ListCameras);
    request.list.max = max;
    ControlData data{nullptr, 0, reinterpret_cast<uint8_t*>(ids),
                     static_cast<uint32_t>(max) * static_cast<uint32_t>(sizeof(int32_t))};
    return tarvex::sim::runStatus(request, data);
}

TARVEX_SIM_API int32_t tarvex_sim_get(int32_t camera, int32_t property, int64_t* value) {
    if (value == nullptr) return TARVEX_SIM_EINVAL;
    ControlRequest request = tarvex::sim::makeRequest(ControlOperation::GetProperty, camera);
    request.property.property = property;
    tarvex::sim::ControlReply reply = tarvex::sim::simRuntime().control(request, {nullptr, 0, nullptr, 0});
    if (reply.result == 0) *value = reply.value;
    return static_cast<int32_t>(reply.result);
}

TARVEX_SIM_API int32_t tarvex_sim_set(int32_t camera, int32_t property, int64_t value) {
    ControlRequest request = tarvex::sim::makeRequest(ControlOperation::SetProperty, camera);
    request.property.property = property;
    request.property.value = value;
    return tarvex::sim::runStatus(request);
}

TARVEX_SIM_API int32_t tarvex_sim_read_memory(int32_t camera, int32_t memory, uint32_t offset, void* buffer,
                                              uint32_t length) {
    if (buffer == nullptr && length != 0) return TARVEX_SIM_EINVAL;
    ControlRequest request = tarvex::sim::makeRequest(ControlOperation::ReadMemory, camera);
    request.memory = {memory, offset, length};
    return tarvex::sim::runStatus(request, {nullptr, 0, static_cast<uint8_t*>(buffer), length});
}

TARVEX_SIM_API int32_t tarvex_sim_write_memory(int32_t camera, int32_t memory, uint32_t offset,
                                               const void* data, uint32_t length) {
    if (data == nullptr && length != 0) return TARVEX_SIM_EINVAL;
    ControlRequest request = tarvex::sim::makeRequest(ControlOperation::WriteMemory, camera);
    request.memory = {memory, offset, length};
    return tarvex::sim::runStatus(request, {static_cast<const uint8_t*>(data), length, nullptr, 0});
}

TARVEX_SIM_API int32_t tarvex_sim_add_fault(int32_t camera, const tarvex_sim_fault* fault) {
    if (fault == nullptr) return TARVEX_SIM_EINVAL;
    ControlRequest request = tarvex::sim::makeRequest(ControlOperation::AddFault, camera);
    request.fault = *fault;
    return tarvex::sim::runStatus(request);
}

TARVEX_SIM_API int32_t tarvex_sim_clear_faults(int32_t camera) {
    return tarvex::sim::runStatus(tarvex::sim::makeRequest(ControlOperation::ClearFaults, camera));
}

TARVEX_SIM_API int32_t tarvex_sim_script_sync(int32_t camera, const uint8_t* levels, uint32_t count) {
    if (levels == nullptr && count != 0) return TARVEX_SIM_EINVAL;
    ControlRequest request = tarvex::sim::makeRequest(ControlOperation::ScriptSync, camera);
    request.sync.count = count;
    return tarvex::sim::runStatus(request, {levels, count, nullptr, 0});
}

TARVEX_SIM_API int64_t tarvex_sim_log_count(int32_t camera) {
    return tarvex::sim::run(tarvex::sim::makeRequest(ControlOperation::LogCount, camera));
}

TARVEX_SIM_API int32_t tarvex_sim_log_read(int32_t camera, int64_t first, tarvex_sim_call* calls,
                                           int32_t max) {
    if (max < 0 || (calls == nullptr && max > 0)) return TARVEX_SIM_EINVAL;
    ControlRequest request = tarvex::sim::makeRequest(ControlOperation::LogRead, camera);
    request.log.first = first;
    request.log.max = max;
    uint64_t bytes = static_cast<uint64_t>(max) * sizeof(tarvex_sim_call);
    if (bytes > UINT32_MAX) return TARVEX_SIM_EINVAL;
    return tarvex::sim::runStatus(
        request, {nullptr, 0, reinterpret_cast<uint8_t*>(calls), static_cast<uint32_t>(bytes)});
}

TARVEX_SIM_API int32_t tarvex_sim_log_clear(int32_t camera) {
    return tarvex::sim::runStatus(tarvex::sim::makeRequest(ControlOperation::LogClear, camera));
}

TARVEX_SIM_API int32_t tarvex_sim_log_pause(int32_t camera, int32_t paused) {
    ControlRequest request = tarvex::sim::makeRequest(ControlOperation::LogPause, camera);
    request.log.paused = paused;
    return tarvex::sim::runStatus(request);
}

TARVEX_SIM_API int32_t tarvex_sim_clock_virtual(int32_t enable, uint32_t start_ms, uint32_t step_us) {
    ControlRequest request = tarvex::sim::makeRequest(ControlOperation::ClockVirtual);
    request.clock.enable = enable;
    request.clock.startMs = start_ms;
    request.clock.stepUs = step_us;
    return tarvex::sim::runStatus(request);
}

TARVEX_SIM_API int64_t tarvex_sim_clock_ms(void) {
    return tarvex::sim::run(tarvex::sim::makeRequest(ControlOperation::ClockRead));
}

TARVEX_SIM_API int32_t tarvex_sim_clock_advance_us(uint64_t us) {
    ControlRequest request = tarvex::sim::makeRequest(ControlOperation::ClockAdvance);
    request.clock.advanceUs = us;
    return tarvex::sim::runStatus(request);
}

}  // extern "C"
