#include "camera_device.h"

#include <cstring>
#include <new>

#include "device_context.h"
#include "registry_tree.h"
#include "system_errors.h"

namespace tarvex::kernel {

namespace {

// {2217C0A0-97CF-11DE-A807-444553540000}
const GUID CAMERA_INTERFACE_CLASS = {
    0x2217C0A0, 0x97CF, 0x11DE, {0xA8, 0x07, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

void append(wchar_t* out, size_t capacity, const char* text) {
    size_t used = 0;
    while (out[used] != 0) ++used;
    for (size_t i = 0; text[i] != 0 && used + 1 < capacity; ++i) {
        out[used++] = static_cast<unsigned char>(text[i]);
    }
    out[used] = 0;
}

void appendNumber(wchar_t* out, size_t capacity, uint32_t number) {
    char digits[12];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + number % 10);
        number /= 10;
    } while (number != 0);
    char text[12];
    for (int i = 0; i < count; ++i) text[i] = digits[count - 1 - i];
    text[count] = 0;
    append(out, capacity, text);
}

UNICODE_STRING view(wchar_t* text) {
    UNICODE_STRING string;
    RtlInitUnicodeString(&string, text);
    return string;
}

// "\\?\root#tarvex#0001#{...}": the first two segments give the device ID
// ("root#tarvex" -> "ROOT\TARVEX").
bool deviceIdOf(const char* path, wchar_t* deviceId, size_t capacity) {
    const char* start = std::strncmp(path, "\\\\?\\", 4) == 0 ? path + 4 : path;
    const char* first = std::strchr(start, '#');
    if (first == nullptr) return false;
    const char* second = std::strchr(first + 1, '#');
    if (second == nullptr) return false;
    size_t length = 0;
    for (const char* c = start; c != second && length + 1 < capacity; ++c, ++length) {
        char upper = *c >= 'a' && *c <= 'z' ? static_cast<char>(*c - 'a' + 'A') : *c;
        deviceId[length] = upper == '#' ? L'\\' : static_cast<wchar_t>(upper);
    }
    deviceId[length] = 0;
    return deviceId[0] != 0;
}

// The instance ID of the n-th camera plugged since the driver was loaded:
// eight digits, so that the system, which lists a class's members in the
// order of their names, lists them in the order they were plugged in. The
// system keeps an instance's registration after it was switched off and
// refuses to register it again, so no number is used twice.
void instanceIdOf(uint32_t sequence, wchar_t* out) {
    for (int i = 7; i >= 0; --i) {
        out[i] = static_cast<wchar_t>(L'0' + sequence % 10);
        sequence /= 10;
    }
    out[8] = 0;
}

uint32_t plugSequence = 0;

uint32_t errorForStatus(NTSTATUS status) {
    if (status == STATUS_OBJECT_NAME_COLLISION || status == STATUS_OBJECT_NAME_EXISTS) {
        return sim::ERROR_ALREADY_EXISTS;
    }
    return sim::ERROR_GEN_FAILURE;
}

// A copy of `text` in the pool, as the system expects the answer to an
// identity query (it frees it).
wchar_t* pooledCopy(const wchar_t* text, bool doubleTerminated) {
    size_t length = 0;
    while (text[length] != 0) ++length;
    size_t units = length + (doubleTerminated ? 2 : 1);
    auto* copy =
        static_cast<wchar_t*>(ExAllocatePoolWithTag(PagedPool, units * sizeof(wchar_t), TARVEX_POOL_TAG));
    if (copy == nullptr) return nullptr;
    std::memcpy(copy, text, length * sizeof(wchar_t));
    for (size_t i = length; i < units; ++i) copy[i] = 0;
    return copy;
}

}  // namespace

NTSTATUS CameraDevice::createDevice(PDRIVER_OBJECT driver, const char* suffix, const char* nameRest,
                                    wchar_t* name, PDEVICE_OBJECT* device) {
    name[0] = 0;
    append(name, NAME_CAPACITY, "\\Device\\TarvexSimCamera");
    appendNumber(name, NAME_CAPACITY, static_cast<uint32_t>(camera_));
    append(name, NAME_CAPACITY, suffix);
    UNICODE_STRING deviceName = view(name);
    NTSTATUS status =
        IoCreateDevice(driver, sizeof(DeviceContext), &deviceName, FILE_DEVICE_UNKNOWN, 0, FALSE, device);
    if (!NT_SUCCESS(status)) {
        *device = nullptr;
        return status;
    }
    DeviceContext* context = contextOf(*device);
    context->kind = DeviceKind::Camera;
    context->camera = this;
    context->nameRest = nameRest;
    (*device)->Flags |= DO_DIRECT_IO;
    (*device)->Flags &= ~DO_DEVICE_INITIALIZING;
    return STATUS_SUCCESS;
}

CameraDevice* CameraDevice::plug(PDRIVER_OBJECT driver, const sim::DeviceNames& names, int32_t camera,
                                 uint32_t* error) {
    auto* self = new (std::nothrow) CameraDevice;
    if (self == nullptr) {
        *error = sim::ERROR_GEN_FAILURE;
        return nullptr;
    }
    self->camera_ = camera;
    auto fail = [&](uint32_t code) {
        *error = code;
        self->withdraw();
        self->destroy();
        return nullptr;
    };

    NTSTATUS status = self->createDevice(driver, "", "", self->numberedDeviceName_, &self->numberedDevice_);
    if (!NT_SUCCESS(status)) return fail(errorForStatus(status));

    // "\\.\KQ-TarvexNT<n>" is the link "\DosDevices\KQ-TarvexNT<n>".
    if (names.dosName[0] != 0) {
        const char* base = std::strncmp(names.dosName, "\\\\.\\", 4) == 0 ? names.dosName + 4 : names.dosName;
        append(self->dosName_, NAME_CAPACITY, "\\DosDevices\\");
        append(self->dosName_, NAME_CAPACITY, base);
        UNICODE_STRING dosName = view(self->dosName_);
        UNICODE_STRING target = view(self->numberedDeviceName_);
        status = IoCreateSymbolicLink(&dosName, &target);
        if (!NT_SUCCESS(status)) return fail(errorForStatus(status));
        self->hasDosName_ = true;
    }

    if (names.devicePath[0] != 0) {
        if (!deviceIdOf(names.devicePath, self->deviceId_, NAME_CAPACITY)) {
            return fail(sim::ERROR_INVALID_PARAMETER);
        }
        instanceIdOf(++plugSequence, self->instanceId_);
        status = self->createDevice(driver, "i", "\\0", self->interfaceDeviceName_, &self->interfaceDevice_);
        if (!NT_SUCCESS(status)) return fail(errorForStatus(status));
        status = self->publishInterface();
        if (!NT_SUCCESS(status)) return fail(errorForStatus(status));
    }
    *error = 0;
    return self;
}

// The system registers the interface and links its path to the numbered
// device; the link is then replaced by a directory of that name whose member
// "0" leads to the interface device.
NTSTATUS CameraDevice::publishInterface() {
    NTSTATUS status =
        IoRegisterDeviceInterface(numberedDevice_, &CAMERA_INTERFACE_CLASS, nullptr, &interfaceLink_);
    if (!NT_SUCCESS(status)) return status;
    registered_ = true;
    status = IoSetDeviceInterfaceState(&interfaceLink_, TRUE);
    if (!NT_SUCCESS(status)) return status;
    enabled_ = true;

    IoDeleteSymbolicLink(&interfaceLink_);
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &interfaceLink_, OBJ_KERNEL_HANDLE | OBJ_CASE_INSENSITIVE,
                               nullptr, nullptr);
    status = ZwCreateDirectoryObject(&interfaceDirectory_, DIRECTORY_ALL_ACCESS, &attributes);
    if (!NT_SUCCESS(status)) {
        interfaceDirectory_ = nullptr;
        return status;
    }
    size_t length = interfaceLink_.Length / sizeof(wchar_t);
    if (length + 3 > NAME_CAPACITY + 4) return STATUS_NAME_TOO_LONG;
    std::memcpy(suffixLink_, interfaceLink_.Buffer, length * sizeof(wchar_t));
    suffixLink_[length] = L'\\';
    suffixLink_[length + 1] = L'0';
    suffixLink_[length + 2] = 0;
    UNICODE_STRING link = view(suffixLink_);
    UNICODE_STRING target = view(interfaceDeviceName_);
    status = IoCreateSymbolicLink(&link, &target);
    if (!NT_SUCCESS(status)) return status;
    hasSuffixLink_ = true;
    return STATUS_SUCCESS;
}

// The reverse, so that the system can switch the interface off and the class
// list stops naming the camera: the directory goes, the system's own link to
// the numbered device comes back, and the system removes it.
void CameraDevice::withdrawInterface() {
    if (hasSuffixLink_) {
        UNICODE_STRING link = view(suffixLink_);
        IoDeleteSymbolicLink(&link);
        hasSuffixLink_ = false;
    }
    if (interfaceDirectory_ != nullptr) {
        ZwClose(interfaceDirectory_);
        interfaceDirectory_ = nullptr;
        UNICODE_STRING target = view(numberedDeviceName_);
        IoCreateSymbolicLink(&interfaceLink_, &target);
    }
    if (enabled_) {
        IoSetDeviceInterfaceState(&interfaceLink_, FALSE);
        enabled_ = false;
    }
    if (registered_) {
        forgetRegistration();
        RtlFreeUnicodeString(&interfaceLink_);
        registered_ = false;
    }
}

// The system keeps a switched-off interface and its device instance in the
// registry, and walks every one of them each time a program lists the class:
// with a camera plugged in per test, listing would get slower test by test.
// The driver's own instance and interface keys are therefore deleted.
void CameraDevice::forgetRegistration() {
    wchar_t path[2 * NAME_CAPACITY + 160] = {};
    constexpr size_t capacity = sizeof path / sizeof path[0];
    append(path, capacity,
           "\\Registry\\Machine\\System\\CurrentControlSet\\Control\\DeviceClasses\\"
           "{2217C0A0-97CF-11DE-A807-444553540000}\\##?#");
    // The interface's link is "\??\<path>": its key is "##?#<path>".
    const wchar_t* link = interfaceLink_.Buffer;
    size_t units = interfaceLink_.Length / sizeof(wchar_t);
    size_t skip = units > 4 && link[0] == L'\\' && link[3] == L'\\' ? 4 : 0;
    size_t used = 0;
    while (path[used] != 0) ++used;
    for (size_t i = skip; i < units && used + 1 < capacity; ++i) path[used++] = link[i];
    path[used] = 0;
    deleteRegistryTree(path);

    path[0] = 0;
    append(path, capacity, "\\Registry\\Machine\\System\\CurrentControlSet\\Enum\\");
    used = 0;
    while (path[used] != 0) ++used;
    for (size_t i = 0; deviceId_[i] != 0 && used + 1 < capacity; ++i) path[used++] = deviceId_[i];
    path[used] = 0;
    append(path, capacity, "\\");
    used = 0;
    while (path[used] != 0) ++used;
    for (size_t i = 0; instanceId_[i] != 0 && used + 1 < capacity; ++i) path[used++] = instanceId_[i];
    path[used] = 0;
    deleteRegistryTree(path);
}

void CameraDevice::withdraw() {
    withdrawInterface();
    if (hasDosName_) {
        UNICODE_STRING dosName = view(dosName_);
        IoDeleteSymbolicLink(&dosName);
        hasDosName_ = false;
    }
    if (numberedDevice_ != nullptr) contextOf(numberedDevice_)->camera = nullptr;
    if (interfaceDevice_ != nullptr) contextOf(interfaceDevice_)->camera = nullptr;
}

void CameraDevice::destroy() {
    if (interfaceDevice_ != nullptr) IoDeleteDevice(interfaceDevice_);
    if (numberedDevice_ != nullptr) IoDeleteDevice(numberedDevice_);
    delete this;
}

NTSTATUS CameraDevice::answerPnp(PIRP irp) {
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    NTSTATUS status = irp->IoStatus.Status;
    if (stack->MinorFunction == IRP_MN_QUERY_ID) {
        const wchar_t* answer = nullptr;
        bool doubleTerminated = false;
        switch (stack->Parameters.QueryId.IdType) {
            case BusQueryDeviceID:
                answer = deviceId_;
                break;
            case BusQueryInstanceID:
                answer = instanceId_;
                break;
            case BusQueryHardwareIDs:
            case BusQueryCompatibleIDs:
                answer = deviceId_;
                doubleTerminated = true;
                break;
            default:
                break;
        }
        if (answer != nullptr && answer[0] != 0) {
            wchar_t* copy = pooledCopy(answer, doubleTerminated);
            status = copy != nullptr ? STATUS_SUCCESS : STATUS_INSUFFICIENT_RESOURCES;
            irp->IoStatus.Information = reinterpret_cast<ULONG_PTR>(copy);
        }
    }
    irp->IoStatus.Status = status;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

}  // namespace tarvex::kernel
