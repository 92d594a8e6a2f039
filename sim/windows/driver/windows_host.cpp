#include "windows_host.h"

#include "camera_device.h"
#include "system_errors.h"

namespace tarvex::kernel {

WindowsHost::WindowsHost(PDRIVER_OBJECT driver) : driver_(driver) {
    KeQueryPerformanceCounter(&frequency_);
    if (frequency_.QuadPart <= 0) frequency_.QuadPart = 1;
}

uint64_t WindowsHost::realTimeUs() {
    LARGE_INTEGER ticks = KeQueryPerformanceCounter(nullptr);
    uint64_t count = static_cast<uint64_t>(ticks.QuadPart);
    uint64_t frequency = static_cast<uint64_t>(frequency_.QuadPart);
    uint64_t us = count / frequency * 1'000'000u + count % frequency * 1'000'000u / frequency;
    return us + skippedUs_;
}

void WindowsHost::skipTo(uint64_t us) {
    uint64_t now = realTimeUs();
    if (us > now) skippedUs_ += us - now;
}

uint32_t WindowsHost::plugDevice(const sim::DeviceNames& names, int32_t camera, uint64_t* token) {
    uint32_t error = 0;
    CameraDevice* device = CameraDevice::plug(driver_, names, camera, &error);
    if (device == nullptr) return error != 0 ? error : sim::ERROR_GEN_FAILURE;
    *token = reinterpret_cast<uintptr_t>(device);
    return 0;
}

void WindowsHost::unplugDevice(uint64_t token) {
    auto* device = reinterpret_cast<CameraDevice*>(static_cast<uintptr_t>(token));
    if (device == nullptr) return;
    device->withdraw();
    if (unpluggedCount_ < MAX_UNPLUGGED) {
        unplugged_[unpluggedCount_++] = device;
    } else {
        // Not reached in practice: the list is emptied after every request.
        deleteUnplugged();
        device->destroy();
    }
}

void WindowsHost::deleteUnplugged() {
    while (unpluggedCount_ > 0) unplugged_[--unpluggedCount_]->destroy();
}

}  // namespace tarvex::kernel
