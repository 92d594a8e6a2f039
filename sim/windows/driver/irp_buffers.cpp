#include "irp_buffers.h"

#include <cstring>

namespace tarvex::kernel {

namespace {

void* mappedOutput(PIRP irp) {
    if (irp->MdlAddress == nullptr) return nullptr;
    return MmGetSystemAddressForMdlSafe(irp->MdlAddress, NormalPagePriority);
}

}  // namespace

ControlRequest::ControlRequest(PIRP irp) {
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    code_ = stack->Parameters.DeviceIoControl.IoControlCode;
    inSize_ = stack->Parameters.DeviceIoControl.InputBufferLength;
    outSize_ = stack->Parameters.DeviceIoControl.OutputBufferLength;

    switch (code_ & 3) {
        case METHOD_BUFFERED: {
            void* system = irp->AssociatedIrp.SystemBuffer;
            if (inSize_ != 0) {
                void* copy = inputCopy_;
                if (inSize_ > sizeof inputCopy_) {
                    pooledCopy_ = ExAllocatePoolWithTag(NonPagedPool, inSize_, TARVEX_POOL_TAG);
                    copy = pooledCopy_;
                }
                if (copy == nullptr || system == nullptr) {
                    valid_ = false;
                    return;
                }
                std::memcpy(copy, system, inSize_);
                in_ = copy;
            }
            out_ = outSize_ != 0 ? system : nullptr;
            if (outSize_ != 0 && system == nullptr) valid_ = false;
            break;
        }
        case METHOD_IN_DIRECT:
        case METHOD_OUT_DIRECT:
            in_ = inSize_ != 0 ? irp->AssociatedIrp.SystemBuffer : nullptr;
            out_ = outSize_ != 0 ? mappedOutput(irp) : nullptr;
            if ((inSize_ != 0 && in_ == nullptr) || (outSize_ != 0 && out_ == nullptr)) valid_ = false;
            break;
        default:  // METHOD_NEITHER: the caller's own addresses
            in_ = stack->Parameters.DeviceIoControl.Type3InputBuffer;
            out_ = irp->UserBuffer;
            break;
    }
}

ControlRequest::~ControlRequest() {
    if (pooledCopy_ != nullptr) ExFreePoolWithTag(pooledCopy_, TARVEX_POOL_TAG);
}

NTSTATUS statusForError(uint32_t error) {
    switch (error) {
        case 0:
            return STATUS_SUCCESS;
        case 2:
            return STATUS_OBJECT_NAME_NOT_FOUND;
        case 5:
            return STATUS_ACCESS_DENIED;
        case 31:
            return STATUS_UNSUCCESSFUL;
        case 87:
            return STATUS_INVALID_PARAMETER;
        case 122:
            return STATUS_BUFFER_TOO_SMALL;
        case 1167:
            return STATUS_DEVICE_NOT_CONNECTED;
        default:
            // A system error code carried in a status of the Win32 facility,
            // which the caller's system hands back unchanged.
            return static_cast<NTSTATUS>(0xC0070000u | (error & 0xFFFFu));
    }
}

NTSTATUS completeRequest(PIRP irp, uint32_t error, uint32_t bytes) {
    NTSTATUS status = statusForError(error);
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = bytes;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

}  // namespace tarvex::kernel
