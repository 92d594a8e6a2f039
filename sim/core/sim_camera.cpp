#include "sim_camera.h"

#include <cstring>

#include "system_errors.h"

namespace tarvex::sim {

namespace {

uint32_t readLe32(const uint8_t* bytes) {
    return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

void writeLe32(uint8_t* bytes, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
}

// The answer of the codes that report a 32-bit word.
void answerWord(DeviceCall& call, int32_t word) {
    if (call.outSize < 4) {
        call.error = ERROR_INSUFFICIENT_BUFFER;
        return;
    }
    writeLe32(call.out, static_cast<uint32_t>(word));
    call.bytesReturned = 4;
}

// Copies at most the caller's length of a fixed answer.
void answerBytes(DeviceCall& call, const uint8_t* bytes, uint32_t length) {
    uint32_t answered = call.outSize < length ? call.outSize : length;
    if (answered != 0) std::memcpy(call.out, bytes, answered);
    call.bytesReturned = answered;
}

}  // namespace

int32_t vendorRequestOf(const DeviceCall& call) {
    if (call.code != code::VENDOR_IN && call.code != code::VENDOR_OUT) return -1;
    if (call.inSize < 5) return -1;
    return call.arrived ? call.inHead[4] : call.in[4];
}

bool answersStatusWord(uint32_t callCode) {
    switch (callCode) {
        case code::OPEN_SETUP:
        case code::STREAM_RESET:
        case code::STREAM_ABORT:
        case code::STREAM_START:
        case code::STREAM_STOP:
        case code::LAST_ERROR:
        case code::TRANSFER_STATUS:
            return true;
        default:
            return false;
    }
}

SimCamera::SimCamera(int32_t id, const CameraDescription& description, bool paced)
    : id_(id), spec_(description) {
    identity_.setIdentification(description.ident, description.identLength);
    identity_.setRelease(description.release);
    stream_.setPaced(paced);
    if (description.inputs >= 0) port_.setInputs(static_cast<uint8_t>(description.inputs));
}

void SimCamera::plugIn(uint32_t number, uint64_t token) {
    number_ = number;
    token_ = token;
    plugged_ = true;
    char model[MAX_STRING_UNITS];
    uint32_t length = composeModel(spec_, number, model, sizeof model);
    identity_.setModel(model, length);
    // The slot record: bus, port and speed (2: high speed) words.
    writeLe32(slot_, 1);
    writeLe32(slot_ + 4, number);
    writeLe32(slot_ + 8, 2);
}

CallOutcome SimCamera::execute(DeviceCall& call, uint64_t nowUs) {
    switch (call.code) {
        case code::OPEN_SETUP:
        case code::STREAM_STOP:
            answerWord(call, 0);
            return CallOutcome::done();
        case code::STREAM_RESET:
        case code::STREAM_ABORT:
            if (call.inSize < 4) {
                call.error = ERROR_INVALID_PARAMETER;
            } else {
                answerWord(call, 0);
            }
            return CallOutcome::done();
        case code::STREAM_START:
            if (call.inSize < 4) {
                call.error = ERROR_INVALID_PARAMETER;
            } else {
                answerWord(call, 0);
                if (call.error == 0) stream_.arm(readLe32(call.in));
            }
            return CallOutcome::done();
        case code::VENDOR_IN:
        case code::VENDOR_OUT: {
            if (call.inSize < VENDOR_REQUEST_BYTES) {
                call.error = ERROR_INVALID_PARAMETER;
                return CallOutcome::done();
            }
            uint8_t request = call.in[4];
            uint16_t value = static_cast<uint16_t>(call.in[6] | (call.in[7] << 8));
            uint16_t index = static_cast<uint16_t>(call.in[8] | (call.in[9] << 8));
            if (call.code == code::VENDOR_IN) {
                vendorIn(call, request, value, index);
            } else {
                vendorOut(call, request, value, index, nowUs);
            }
            return CallOutcome::done();
        }
        case code::FIRMWARE_BYTE: {
            // Request 0xA0 written to one controller address: at 0xE600 the CPU byte.
            if (call.inSize < VENDOR_REQUEST_BYTES) {
                call.error = ERROR_INVALID_PARAMETER;
            } else if (call.in[0] != 0xA0) {
                call.error = ERROR_GEN_FAILURE;
            } else {
                controller_.store(static_cast<uint16_t>(call.in[2] | (call.in[3] << 8)), call.in[9]);
            }
            return CallOutcome::done();
        }
        case code::DEVICE_DESCRIPTOR:
            answerBytes(call, identity_.deviceDescriptor(), DEVICE_DESCRIPTOR_BYTES);
            return CallOutcome::done();
        case code::STRING_DESCRIPTOR: {
            if (call.inSize < 4) {
                call.error = ERROR_INVALID_PARAMETER;
                return CallOutcome::done();
            }
            int32_t answered = identity_.readStringDescriptor(call.in[0], call.out, call.outSize);
            if (answered < 0) {
                call.error = ERROR_GEN_FAILURE;
            } else {
                call.bytesReturned = static_cast<uint32_t>(answered);
            }
            return CallOutcome::done();
        }
        case code::BULK_READ:
            bulkRead(call, nowUs);
            return CallOutcome::done();
        case code::BULK_WRITE:
            bulkWrite(call);
            return CallOutcome::done();
        case code::READ_FRAME:
            return readFrame(call, nowUs);
        case code::SLOT_INFO:
            answerBytes(call, slot_, SLOT_RECORD_BYTES);
            return CallOutcome::done();
        case code::LAST_ERROR:
            answerWord(call, lastError_);
            return CallOutcome::done();
        case code::TRANSFER_STATUS:
            answerWord(call, transferStatus_);
            return CallOutcome::done();
        default:
            call.error = ERROR_INVALID_FUNCTION;
            return CallOutcome::done();
    }
}

CallOutcome SimCamera::readFrame(DeviceCall& call, uint64_t nowUs) {
    if (!stream_.acquiring()) {
        call.error = ERROR_GEN_FAILURE;
        return CallOutcome::done();
    }
    uint64_t readyUs;
    bool triggered = sensor_.snapshotMode();
    if (triggered) {
        if (snapshot_.pending() == 0) {
            uint64_t deadline = call.arrivalUs + static_cast<uint64_t>(snapshot_.timeoutMs()) * 1000u;
            if (nowUs >= deadline) {
                call.error = ERROR_SEM_TIMEOUT;
                return CallOutcome::done();
            }
            return CallOutcome::waitUntil(WaitReason::Trigger, deadline);
        }
        readyUs = stream_.readyAtUs(call.outSize, snapshot_.oldestUs());
    } else {
        readyUs = stream_.readyAtUs(call.outSize, 0);
    }
    if (nowUs < readyUs) return CallOutcome::waitUntil(WaitReason::FrameReadout, readyUs);
    if (triggered) snapshot_.consume(nowUs);
    call.bytesReturned = stream_.deliver(sensor_.values(), call.out, call.outSize, nowUs, readyUs);
    return CallOutcome::done();
}

void SimCamera::bulkRead(DeviceCall& call, uint64_t nowUs) {
    if (call.inSize < 4) {
        call.error = ERROR_INVALID_PARAMETER;
        return;
    }
    uint32_t pipe = readLe32(call.in);
    if (pipe == 0) {
        if (call.outSize == 0) return;
        uint32_t frameBytes = stream_.armedBytes();
        call.out[0] = sync_.read(nowUs, stream_.timingOriginUs(), frameBytes);
        call.bytesReturned = 1;
    } else if (pipe == 1) {
        call.bytesReturned = bulk_.read(call.out, call.outSize);
    } else {
        call.error = ERROR_INVALID_PARAMETER;
    }
}

void SimCamera::bulkWrite(DeviceCall& call) {
    if (call.inSize < 4 || readLe32(call.in) != 1) {
        call.error = ERROR_INVALID_PARAMETER;
        return;
    }
    call.bytesReturned = bulk_.write(call.out, call.outSize);
}

}  // namespace tarvex::sim
