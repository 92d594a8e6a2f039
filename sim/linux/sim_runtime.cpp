#include "sim_runtime.h"

#include <chrono>
#include <ctime>

#include "platform/linux/tick_source.h"
#include "tarvex_device.h"

namespace tarvex::sim {

namespace {

// How long, in real time, a call waiting for a trigger on the virtual clock
// gives other threads to fire it before the clock jumps to its time-out.
constexpr auto TRIGGER_GRACE = std::chrono::milliseconds(20);

int32_t cameraOf(void* driver) {
    return static_cast<int32_t>(reinterpret_cast<intptr_t>(driver));
}

uint64_t virtualTickMilliseconds() {
    return simRuntime().virtualUs.load() / 1000u;
}

uint32_t openHandle(void* driver, const char* nameRest, void** file) {
    SimRuntime& runtime = simRuntime();
    std::lock_guard guard(runtime.lock);
    *file = nullptr;
    uint32_t error = runtime.simulator.openHandle(cameraOf(driver), nameRest != nullptr ? nameRest : "");
    runtime.afterEntry();
    return error;
}

void closeHandle(void* driver, void*) {
    SimRuntime& runtime = simRuntime();
    std::lock_guard guard(runtime.lock);
    runtime.simulator.closeHandle(cameraOf(driver));
    runtime.afterEntry();
}

// One device-control call. A call that cannot complete yet is handed back by
// the core with the time to look again: on the real clock the lock is
// released while the thread sleeps until then (or until another call changes
// something); on the virtual clock the clock jumps there.
uint32_t control(void* driver, void*, uint32_t code, const void* in, uint32_t inSize, void* out,
                 uint32_t outSize, uint32_t* bytesReturned) {
    SimRuntime& runtime = simRuntime();
    DeviceCall call;
    call.code = code;
    call.in = static_cast<const uint8_t*>(in);
    call.inSize = in != nullptr ? inSize : 0;
    call.out = static_cast<uint8_t*>(out);
    call.outSize = out != nullptr ? outSize : 0;
    std::unique_lock guard(runtime.lock);
    for (;;) {
        CallOutcome outcome = runtime.simulator.deviceControl(cameraOf(driver), call);
        runtime.afterEntry();
        if (outcome.finished()) break;
        SimClock& clock = runtime.simulator.clock();
        uint64_t generation = runtime.generation;
        if (clock.isVirtual()) {
            if (outcome.wait == WaitReason::Trigger) {
                runtime.changed.wait_for(guard, TRIGGER_GRACE,
                                         [&] { return runtime.generation != generation; });
                if (runtime.generation != generation) continue;
            }
            clock.jumpTo(outcome.retryAtUs);
            continue;
        }
        uint64_t now = clock.nowUs();
        if (outcome.retryAtUs <= now) continue;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::microseconds(outcome.retryAtUs - now);
        runtime.changed.wait_until(guard, deadline, [&] { return runtime.generation != generation; });
    }
    if (bytesReturned != nullptr) *bytesReturned = call.bytesReturned;
    return call.error;
}

const tarvex_device_ops CAMERA_OPS = {openHandle, closeHandle, control, nullptr};

}  // namespace

uint64_t LinuxHost::realTimeUs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000000u + static_cast<uint64_t>(now.tv_nsec) / 1000u;
}

uint32_t LinuxHost::plugDevice(const DeviceNames& names, int32_t camera, uint64_t* token) {
    tarvex_device_desc desc{};
    desc.dos_name = names.dosName;
    desc.interface_class = names.interfaceClass;
    desc.device_path = names.devicePath;
    desc.ops = &CAMERA_OPS;
    desc.driver = reinterpret_cast<void*>(static_cast<intptr_t>(camera));
    uint32_t id = 0;
    uint32_t error = tarvex_device_create(&desc, &id);
    *token = id;
    return error;
}

void LinuxHost::unplugDevice(uint64_t token) {
    tarvex_device_remove(static_cast<uint32_t>(token));
}

void SimRuntime::afterEntry() {
    SimClock& clock = simulator.clock();
    bool isVirtual = clock.isVirtual();
    if (isVirtual) virtualUs.store(clock.nowUs());
    if (isVirtual != tickSourceInstalled) {
        platform::setTickSource(isVirtual ? virtualTickMilliseconds : nullptr);
        tickSourceInstalled = isVirtual;
    }
    ++generation;
    changed.notify_all();
}

ControlReply SimRuntime::control(const ControlRequest& request, const ControlData& data) {
    std::lock_guard guard(lock);
    ControlReply reply = executeControl(simulator, request, data);
    afterEntry();
    return reply;
}

SimRuntime& simRuntime() {
    static SimRuntime* runtime = new SimRuntime();
    return *runtime;
}

}  // namespace tarvex::sim
