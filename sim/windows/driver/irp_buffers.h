// Where a device-control request's input and output bytes are, by the
// transfer method the code names (its low two bits).
#pragma once

#include <cstdint>

#include "kernel.h"

namespace tarvex::kernel {

class ControlRequest {
public:
    explicit ControlRequest(PIRP irp);
    ~ControlRequest();
    ControlRequest(const ControlRequest&) = delete;
    ControlRequest& operator=(const ControlRequest&) = delete;

    // False when a buffer the method names could not be mapped.
    bool valid() const { return valid_; }
    uint32_t code() const { return code_; }
    const void* in() const { return in_; }
    uint32_t inSize() const { return inSize_; }
    void* out() const { return out_; }
    uint32_t outSize() const { return outSize_; }

private:
    uint32_t code_ = 0;
    const void* in_ = nullptr;
    uint32_t inSize_ = 0;
    void* out_ = nullptr;
    uint32_t outSize_ = 0;
    bool valid_ = true;
    uint8_t inputCopy_[64];
    void* pooledCopy_ = nullptr;
};

// Completes a request: `error` 0 for success or a system error code, which
// the caller's GetLastError then reports; `bytes` is the byte count the
// caller's DeviceIoControl returns.
NTSTATUS completeRequest(PIRP irp, uint32_t error, uint32_t bytes);

// The status that the caller's system turns back into `error`.
NTSTATUS statusForError(uint32_t error);

}  // namespace tarvex::kernel
