#include "simulator.h"

#include <cstring>

#include "system_errors.h"
#include "tarvex_sim.h"

namespace tarvex::sim {

namespace {

constexpr uint32_t LOG_OPEN = 0;
constexpr uint32_t LOG_CLOSE = 1;

uint32_t copyText(char* out, const char* text) {
    uint32_t length = static_cast<uint32_t>(std::strlen(text));
    std::memcpy(out, text, length);
    return length;
}

}  // namespace

DeviceNames makeDeviceNames(uint32_t number) {
    DeviceNames names{};
    uint32_t length = copyText(names.dosName, "\\\\.\\KQ-TarvexNT");
    formatDecimal(number, 1, names.dosName + length);
    copyText(names.interfaceClass, INTERFACE_CLASS);
    length = copyText(names.devicePath, "\\\\?\\root#tarvex#");
    length += formatDecimal(number, 4, names.devicePath + length);
    length += copyText(names.devicePath + length, "#{2217c0a0-97cf-11de-a807-444553540000}");
    return names;
}

SimCamera* Simulator::find(int32_t camera) {
    for (auto& entry : cameras_) {
        if (entry->id() == camera) return entry.get();
    }
    return nullptr;
}

uint32_t Simulator::openHandle(int32_t id, const char* rest) {
    SimCamera* camera = find(id);
    if (camera == nullptr || !camera->plugged()) return ERROR_FILE_NOT_FOUND;
    FaultAction fault = camera->faults().match(LOG_OPEN, -1);
    uint32_t error = ERROR_NONE;
    if (fault.kind == TARVEX_SIM_FAULT_FAIL) {
        error = fault.error;
    } else if (fault.kind == TARVEX_SIM_FAULT_DETACH) {
        unplug(*camera);
        error = ERROR_FILE_NOT_FOUND;
    }
    if (error == ERROR_NONE) camera->handleOpened();
    if (!camera->log().paused()) {
        tarvex_sim_call& entry = camera->log().append();
        entry.sequence = ++sequence_;
        entry.time_us = clock_.nowUs();
        entry.code = LOG_OPEN;
        entry.request = -1;
        size_t length = std::strlen(rest);
        if (length > sizeof entry.in - 1) length = sizeof entry.in - 1;
        std::memcpy(entry.in, rest, length);
        entry.in_size = static_cast<uint32_t>(length);
        entry.error = error;
    }
    return error;
}

void Simulator::closeHandle(int32_t id) {
    SimCamera* camera = find(id);
    if (camera == nullptr) return;
    camera->handleClosed();
    if (!camera->log().paused()) {
        tarvex_sim_call& entry = camera->log().append();
        entry.sequence = ++sequence_;
        entry.time_us = clock_.nowUs();
        entry.code = LOG_CLOSE;
        entry.request = -1;
    }
}

CallOutcome Simulator::deviceControl(int32_t id, DeviceCall& call) {
    SimCamera* camera = find(id);
    if (camera == nullptr || (!call.arrived && !camera->plugged())) {
        call.error = ERROR_ACCESS_DENIED;
        return CallOutcome::done();
    }
    if (!call.arrived) {
        clock_.tick();
        call.arrived = true;
        call.arrivalUs = clock_.nowUs();
        uint32_t head = call.inSize < sizeof call.inHead ? call.inSize : sizeof call.inHead;
        if (head != 0) std::memcpy(call.inHead, call.in, head);
        call.fault = camera->faults().match(call.code, vendorRequestOf(call));
        if (call.fault.kind == TARVEX_SIM_FAULT_DETACH) {
            unplug(*camera);
            call.error = ERROR_DEVICE_NOT_CONNECTED;
            finish(*camera, call);
            return CallOutcome::done();
        }
        if (call.fault.kind == TARVEX_SIM_FAULT_FAIL) {
            call.error = call.fault.error;
            finish(*camera, call);
            return CallOutcome::done();
        }
    }
    if (!camera->plugged()) {
        // Unplugged while this call waited for its frame.
        call.error = ERROR_DEVICE_NOT_CONNECTED;
        finish(*camera, call);
        return CallOutcome::done();
    }
    CallOutcome outcome = camera->execute(call, clock_.nowUs());
    if (!outcome.finished()) return outcome;
    if (call.error == ERROR_NONE) {
        if (call.fault.kind == TARVEX_SIM_FAULT_SHORT) {
            uint32_t shortBy = call.fault.shortBy;
            call.bytesReturned = call.bytesReturned > shortBy ? call.bytesReturned - shortBy : 0;
        } else if (call.fault.kind == TARVEX_SIM_FAULT_STATUS && answersStatusWord(call.code) &&
                   call.outSize >= 4) {
            uint32_t word = static_cast<uint32_t>(call.fault.status);
            for (int i = 0; i < 4; ++i) call.out[i] = static_cast<uint8_t>(word >> (8 * i));
            call.bytesReturned = 4;
        }
    }
    finish(*camera, call);
    return outcome;
}

void Simulator::finish(SimCamera& camera, DeviceCall& call) {
    if (call.error != ERROR_NONE) call.bytesReturned = 0;
    if (camera.log().paused()) return;
    tarvex_sim_call& entry = camera.log().append();
    entry.sequence = ++sequence_;
    entry.time_us = call.arrivalUs;
    entry.code = call.code;
    const uint8_t* in = call.inHead;
    entry.request = vendorRequestOf(call);
    if (entry.request >= 0 && call.inSize >= VENDOR_REQUEST_BYTES) {
        entry.value = static_cast<uint16_t>(in[6] | (in[7] << 8));
        entry.index = static_cast<uint16_t>(in[8] | (in[9] << 8));
    }
    entry.in_size = call.inSize;
    entry.out_size = call.outSize;
    entry.bytes_returned = call.bytesReturned;
    entry.error = call.error;
    static_assert(sizeof entry.in == sizeof call.inHead);
    std::memcpy(entry.in, in, sizeof entry.in);
    // Data for the device is the whole output buffer; data from it is what came back.
    bool toDevice = call.code == code::VENDOR_OUT || call.code == code::BULK_WRITE;
    uint32_t data = toDevice ? call.outSize : call.bytesReturned;
    if (data > sizeof entry.data) data = sizeof entry.data;
    if (data != 0) std::memcpy(entry.data, call.out, data);
}

uint32_t Simulator::plug(SimCamera& camera, uint32_t number) {
    DeviceNames names = makeDeviceNames(number);
    uint64_t token = 0;
    uint32_t error = host_.plugDevice(names, camera.id(), &token);
    if (error == ERROR_NONE) camera.plugIn(number, token);
    return error;
}

void Simulator::unplug(SimCamera& camera) {
    if (!camera.plugged()) return;
    camera.unplug();
    host_.unplugDevice(camera.token());
}

int32_t Simulator::attach(const CameraDescription& description, bool defaultPaced) {
    uint32_t plugged = 0;
    for (auto& entry : cameras_) plugged += entry->plugged() ? 1 : 0;
    if (plugged >= MAX_CAMERAS) return TARVEX_SIM_ENOSPACE;
    bool paced = description.paced < 0 ? defaultPaced : description.paced == 1;
    auto camera = std::make_unique<SimCamera>(nextId_, description, paced);
    if (description.number != 0) {
        for (auto& entry : cameras_) {
            if (entry->plugged() && entry->number() == description.number) return TARVEX_SIM_ENOSPACE;
        }
        if (plug(*camera, description.number) != ERROR_NONE) return TARVEX_SIM_ENOSPACE;
    } else {
        // The lowest number no camera holds (a name taken by another driver is skipped).
        uint32_t number = 1;
        for (;; ++number) {
            if (number > MAX_NUMBER) return TARVEX_SIM_ENOSPACE;
            bool taken = false;
            for (auto& entry : cameras_) taken = taken || (entry->plugged() && entry->number() == number);
            if (taken) continue;
            uint32_t error = plug(*camera, number);
            if (error == ERROR_NONE) break;
            if (error != ERROR_ALREADY_EXISTS) return TARVEX_SIM_ENOSPACE;
        }
    }
    ++nextId_;
    cameras_.push_back(std::move(camera));
    return cameras_.back()->id();
}

int32_t Simulator::attachList(const CameraList& list, bool defaultPaced) {
    int32_t firstId = nextId_;
    for (uint32_t i = 0; i < list.count; ++i) {
        int32_t result = attach(list.specs[i], defaultPaced);
        if (result >= 0) continue;
        // Attach all or nothing: take back the ones attached so far.
        while (!cameras_.empty() && cameras_.back()->id() >= firstId) {
            unplug(*cameras_.back());
            cameras_.pop_back();
        }
        return result;
    }
    return static_cast<int32_t>(list.count);
}

int32_t Simulator::detach(int32_t id) {
    for (auto it = cameras_.begin(); it != cameras_.end(); ++it) {
        if ((*it)->id() != id) continue;
        unplug(**it);
        cameras_.erase(it);
        return 0;
    }
    return TARVEX_SIM_ENOCAMERA;
}

int32_t Simulator::detachAll() {
    for (auto& entry : cameras_) unplug(*entry);
    cameras_.clear();
    sequence_ = 0;
    setVirtualClock(false, 0, 0);
    return 0;
}

int32_t Simulator::cameraIds(int32_t* ids, int32_t max) const {
    int32_t count = 0;
    for (auto& entry : cameras_) {
        if (!entry->plugged()) continue;
        if (count < max) ids[count] = entry->id();
        ++count;
    }
    return count;
}

void Simulator::setVirtualClock(bool enable, uint64_t startUs, uint32_t stepUs) {
    bool was = clock_.isVirtual();
    if (enable) {
        clock_.makeVirtual(startUs, stepUs);
    } else {
        clock_.makeReal();
    }
    if (was != enable || enable) host_.clockModeChanged(enable);
}

}  // namespace tarvex::sim
