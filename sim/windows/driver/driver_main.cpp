// The simulated camera as a kernel-mode driver: its entry point, the unload
// routine and the dispatch routines of the camera devices and the control
// device. Each request is answered before the dispatch routine returns.
#include <cstring>
#include <mutex>

#include "camera_device.h"
#include "control_channel.h"
#include "core_bridge.h"
#include "device_context.h"
#include "irp_buffers.h"
#include "kernel.h"
#include "kernel_lock.h"
#include "kernel_runtime.h"
#include "system_errors.h"
#include "windows_host.h"

namespace tarvex::kernel {

namespace {

PDEVICE_OBJECT controlDevice = nullptr;
WindowsHost* host = nullptr;
KernelLock* coreLock = nullptr;

// Retries of one call whose wait was skipped; a core that keeps asking to
// wait after that has gone wrong, and the call fails.
constexpr int MAX_SKIPPED_WAITS = 16;

NTSTATUS complete(PIRP irp, NTSTATUS status, ULONG_PTR information = 0) {
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = information;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

// What followed the device's name in the opened path, as plain characters:
// the part the device stands for ("" for "\\.\KQ-TarvexNT1", "\0" for an
// interface path with the suffix 0) and whatever the system passed beyond it.
void nameRestOf(const char* route, PFILE_OBJECT file, char* out, size_t capacity) {
    size_t length = 0;
    for (; route[length] != 0 && length + 1 < capacity; ++length) out[length] = route[length];
    if (file != nullptr && file->FileName.Buffer != nullptr) {
        size_t units = file->FileName.Length / sizeof(wchar_t);
        for (size_t i = 0; i < units && length + 1 < capacity; ++i, ++length) {
            wchar_t c = file->FileName.Buffer[i];
            out[length] = c < 0x80 ? static_cast<char>(c) : '?';
        }
    }
    out[length] = 0;
}

NTSTATUS NTAPI dispatchCreate(PDEVICE_OBJECT device, PIRP irp) {
    DeviceContext* context = contextOf(device);
    if (context->kind == DeviceKind::Control) return complete(irp, STATUS_SUCCESS);
    PFILE_OBJECT file = IoGetCurrentIrpStackLocation(irp)->FileObject;
    char nameRest[64];
    nameRestOf(context->nameRest, file, nameRest, sizeof nameRest);
    uint32_t error = sim::ERROR_FILE_NOT_FOUND;
    {
        std::lock_guard<KernelLock> guard(*coreLock);
        if (context->camera != nullptr) {
            void* handleContext = nullptr;
            error = openCamera(context->camera->camera(), nameRest, &handleContext);
            if (error == 0 && file != nullptr) file->FsContext = handleContext;
        }
    }
    NTSTATUS status = completeRequest(irp, error, 0);
    host->deleteUnplugged();
    return status;
}

NTSTATUS NTAPI dispatchClose(PDEVICE_OBJECT device, PIRP irp) {
    DeviceContext* context = contextOf(device);
    if (context->kind == DeviceKind::Camera) {
        PFILE_OBJECT file = IoGetCurrentIrpStackLocation(irp)->FileObject;
        std::lock_guard<KernelLock> guard(*coreLock);
        if (context->camera != nullptr) {
            closeCamera(context->camera->camera(), file != nullptr ? file->FsContext : nullptr);
        }
    }
    NTSTATUS status = complete(irp, STATUS_SUCCESS);
    host->deleteUnplugged();
    return status;
}

NTSTATUS NTAPI dispatchCleanup(PDEVICE_OBJECT, PIRP irp) {
    return complete(irp, STATUS_SUCCESS);
}

uint32_t callCameraAtOnce(CameraDevice* camera, void* file, const ControlRequest& request,
                          uint32_t* bytesReturned) {
    sim::DeviceCall call;
    call.code = request.code();
    call.in = static_cast<const uint8_t*>(request.in());
    call.inSize = request.inSize();
    call.out = static_cast<uint8_t*>(request.out());
    call.outSize = request.outSize();
    std::lock_guard<KernelLock> guard(*coreLock);
    for (int skipped = 0;; ++skipped) {
        sim::CallOutcome outcome = callCamera(camera->camera(), file, call);
        if (outcome.finished()) break;
        if (skipped == MAX_SKIPPED_WAITS) return sim::ERROR_GEN_FAILURE;
        host->skipTo(outcome.retryAtUs);
    }
    *bytesReturned = call.bytesReturned;
    return call.error;
}

NTSTATUS NTAPI dispatchDeviceControl(PDEVICE_OBJECT device, PIRP irp) {
    DeviceContext* context = contextOf(device);
    ControlRequest request(irp);
    if (!request.valid()) return completeRequest(irp, sim::ERROR_INVALID_PARAMETER, 0);

    uint32_t error = 0;
    uint32_t bytes = 0;
    if (context->kind == DeviceKind::Control) {
        if (request.code() != sim::windows::CONTROL_REQUEST_CODE) {
            error = sim::ERROR_INVALID_FUNCTION;
        } else {
            std::lock_guard<KernelLock> guard(*coreLock);
            error = controlCore(request.in(), request.inSize(), request.out(), request.outSize(), &bytes);
        }
    } else if (context->camera == nullptr) {
        error = sim::ERROR_ACCESS_DENIED;  // a handle on an unplugged camera
    } else {
        PFILE_OBJECT file = IoGetCurrentIrpStackLocation(irp)->FileObject;
        error =
            callCameraAtOnce(context->camera, file != nullptr ? file->FsContext : nullptr, request, &bytes);
    }
    NTSTATUS status = completeRequest(irp, error, bytes);
    host->deleteUnplugged();
    return status;
}

NTSTATUS NTAPI dispatchPnp(PDEVICE_OBJECT device, PIRP irp) {
    DeviceContext* context = contextOf(device);
    if (context->kind == DeviceKind::Camera && context->camera != nullptr) {
        return context->camera->answerPnp(irp);
    }
    NTSTATUS status = irp->IoStatus.Status;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

NTSTATUS createControlDevice(PDRIVER_OBJECT driver) {
    UNICODE_STRING name;
    RtlInitUnicodeString(&name, sim::windows::CONTROL_DEVICE_NAME);
    NTSTATUS status =
        IoCreateDevice(driver, sizeof(DeviceContext), &name, FILE_DEVICE_UNKNOWN, 0, FALSE, &controlDevice);
    if (!NT_SUCCESS(status)) return status;
    DeviceContext* context = contextOf(controlDevice);
    context->kind = DeviceKind::Control;
    context->camera = nullptr;
    context->nameRest = "";
    UNICODE_STRING link;
    RtlInitUnicodeString(&link, sim::windows::CONTROL_DEVICE_LINK);
    status = IoCreateSymbolicLink(&link, &name);
    if (!NT_SUCCESS(status)) {
        IoDeleteDevice(controlDevice);
        controlDevice = nullptr;
        return status;
    }
    controlDevice->Flags &= ~DO_DEVICE_INITIALIZING;
    return STATUS_SUCCESS;
}

void deleteControlDevice() {
    if (controlDevice == nullptr) return;
    UNICODE_STRING link;
    RtlInitUnicodeString(&link, sim::windows::CONTROL_DEVICE_LINK);
    IoDeleteSymbolicLink(&link);
    IoDeleteDevice(controlDevice);
    controlDevice = nullptr;
}

void NTAPI unload(PDRIVER_OBJECT) {
    {
        std::lock_guard<KernelLock> guard(*coreLock);
        stopCore();  // unplugs every camera
    }
    host->deleteUnplugged();
    deleteControlDevice();
    delete host;
    host = nullptr;
    delete coreLock;
    coreLock = nullptr;
    runExitHandlers();
}

}  // namespace

}  // namespace tarvex::kernel

extern "C" NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING) {
    using namespace tarvex::kernel;
    runStaticConstructors();

    driver->MajorFunction[IRP_MJ_CREATE] = dispatchCreate;
    driver->MajorFunction[IRP_MJ_CLOSE] = dispatchClose;
    driver->MajorFunction[IRP_MJ_CLEANUP] = dispatchCleanup;
    driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = dispatchDeviceControl;
    driver->MajorFunction[IRP_MJ_PNP] = dispatchPnp;
    driver->DriverUnload = unload;

    coreLock = new KernelLock;
    host = new WindowsHost(driver);
    NTSTATUS status = createControlDevice(driver);
    if (NT_SUCCESS(status) && !startCore(*host)) {
        deleteControlDevice();
        status = STATUS_INSUFFICIENT_RESOURCES;
    }
    if (!NT_SUCCESS(status)) {
        delete host;
        host = nullptr;
        delete coreLock;
        coreLock = nullptr;
        runExitHandlers();
    }
    return status;
}
