// Devices, their open handles and the calls made on them.
//
// Every device is reference counted: its registration, each open handle and
// each call in flight hold one, and the driver's release runs when the last
// goes. No lock of the namespace is held while a driver runs, so a driver may
// remove its own device, or open and close handles, from inside a callback.
#include "platform/linux/device_namespace.h"

#include <cctype>
#include <cstring>
#include <mutex>
#include <string_view>

#include "platform/linux/handle_table.h"
#include "tarvex_device.h"

namespace tarvex::platform {
namespace {

constexpr DWORD kErrorTooManyOpenFiles = 4;

struct Device {
    uint32_t id = 0;
    std::string dosName;
    bool hasInterface = false;
    GUID interfaceClass{};
    std::string devicePath;
    tarvex_device_ops ops{};
    void* driver = nullptr;
    bool removed = false;
    uint32_t references = 1;  // the registration
};

struct OpenFile {
    Device* device = nullptr;
    void* file = nullptr;
    uint32_t references = 1;  // the handle
};

struct DeviceNamespace {
    std::mutex lock;
    std::vector<Device*> present;  // in creation order
    HandleTable<OpenFile*> files{HandleKind::File};
    uint32_t nextId = 1;
};

// Never destroyed: drivers may remove devices from exit-time code.
DeviceNamespace& deviceNamespace() {
    static DeviceNamespace* space = new DeviceNamespace();
    return *space;
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool readHex(std::string_view text, size_t at, size_t digits, uint32_t& value) {
    value = 0;
    for (size_t i = 0; i < digits; ++i) {
        int digit = hexDigit(text[at + i]);
        if (digit < 0) return false;
        value = (value << 4) | static_cast<uint32_t>(digit);
    }
    return true;
}

void dropDevice(Device* device) {
    DeviceNamespace& space = deviceNamespace();
    bool last;
    {
        std::lock_guard guard(space.lock);
        last = --device->references == 0;
    }
    if (!last) return;
    if (device->ops.release != nullptr) device->ops.release(device->driver);
    delete device;
}

// The driver hears of the close once the handle is closed and the calls in
// flight on it have returned, and not at all once its device was removed.
void dropFile(OpenFile* open) {
    DeviceNamespace& space = deviceNamespace();
    bool last;
    bool tellDriver;
    {
        std::lock_guard guard(space.lock);
        last = --open->references == 0;
        tellDriver = last && !open->device->removed;
    }
    if (!last) return;
    Device* device = open->device;
    if (tellDriver && device->ops.close != nullptr) device->ops.close(device->driver, open->file);
    delete open;
    dropDevice(device);
}

// The present device that `name` opens, with what follows its name; takes a
// reference on it. Caller holds the namespace lock.
Device* findForOpen(DeviceNamespace& space, std::string_view name, std::string_view& rest) {
    Device* best = nullptr;
    for (Device* device : space.present) {
        if (!device->dosName.empty() && equalIgnoringCase(device->dosName, name)) {
            best = device;
            rest = {};
            break;
        }
        const std::string& path = device->devicePath;
        if (!device->hasInterface || path.size() > name.size()) continue;
        if (!equalIgnoringCase(path, name.substr(0, path.size()))) continue;
        if (name.size() != path.size() && name[path.size()] != '\\') continue;
        if (best == nullptr || path.size() > best->devicePath.size()) {
            best = device;
            rest = name.substr(path.size());
        }
    }
    if (best != nullptr) ++best->references;
    return best;
}

uint32_t validate(const tarvex_device_desc* desc, Device& device) {
    if (desc == nullptr || desc->ops == nullptr) return TARVEX_DEVICE_ERROR_INVALID_PARAMETER;
    if (desc->dos_name != nullptr) {
        if (desc->dos_name[0] == '\0') return TARVEX_DEVICE_ERROR_INVALID_PARAMETER;
        device.dosName = desc->dos_name;
    }
    if ((desc->interface_class == nullptr) != (desc->device_path == nullptr))
        return TARVEX_DEVICE_ERROR_INVALID_PARAMETER;
    if (desc->interface_class != nullptr) {
        if (!parseInterfaceClass(desc->interface_class, device.interfaceClass) ||
            desc->device_path[0] == '\0')
            return TARVEX_DEVICE_ERROR_INVALID_PARAMETER;
        device.hasInterface = true;
        device.devicePath = desc->device_path;
    }
    if (device.dosName.empty() && !device.hasInterface) return TARVEX_DEVICE_ERROR_INVALID_PARAMETER;
    device.ops = *desc->ops;
    device.driver = desc->driver;
    return 0;
}

bool nameTaken(const DeviceNamespace& space, const Device& candidate) {
    for (const Device* device : space.present) {
        if (!candidate.dosName.empty() && equalIgnoringCase(device->dosName, candidate.dosName)) return true;
        if (candidate.hasInterface && device->hasInterface &&
            equalIgnoringCase(device->devicePath, candidate.devicePath))
            return true;
    }
    return false;
}

}  // namespace

bool parseInterfaceClass(const char* text, GUID& interfaceClass) {
    if (text == nullptr) return false;
    std::string_view value(text);
    if (value.size() != 38 || value[0] != '{' || value[37] != '}' || value[9] != '-' || value[14] != '-' ||
        value[19] != '-' || value[24] != '-')
        return false;
    uint32_t part;
    GUID parsed{};
    if (!readHex(value, 1, 8, part)) return false;
    parsed.Data1 = part;
    if (!readHex(value, 10, 4, part)) return false;
    parsed.Data2 = static_cast<WORD>(part);
    if (!readHex(value, 15, 4, part)) return false;
    parsed.Data3 = static_cast<WORD>(part);
    constexpr size_t kByteAt[8] = {20, 22, 25, 27, 29, 31, 33, 35};
    for (size_t i = 0; i < 8; ++i) {
        if (!readHex(value, kByteAt[i], 2, part)) return false;
        parsed.Data4[i] = static_cast<BYTE>(part);
    }
    interfaceClass = parsed;
    return true;
}

bool sameGuid(const GUID& a, const GUID& b) {
    return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 &&
           std::memcmp(a.Data4, b.Data4, sizeof a.Data4) == 0;
}

std::vector<std::string> presentInterfacePaths(const GUID& interfaceClass) {
    DeviceNamespace& space = deviceNamespace();
    std::vector<std::string> paths;
    std::lock_guard guard(space.lock);
    for (const Device* device : space.present)
        if (device->hasInterface && sameGuid(device->interfaceClass, interfaceClass))
            paths.push_back(device->devicePath);
    return paths;
}

}  // namespace tarvex::platform

using namespace tarvex::platform;

extern "C" uint32_t tarvex_device_create(const tarvex_device_desc* desc, uint32_t* id) {
    if (id == nullptr) return TARVEX_DEVICE_ERROR_INVALID_PARAMETER;
    Device* device = new Device();
    if (uint32_t error = validate(desc, *device); error != 0) {
        delete device;
        return error;
    }
    DeviceNamespace& space = deviceNamespace();
    std::lock_guard guard(space.lock);
    if (nameTaken(space, *device)) {
        delete device;
        return ERROR_ALREADY_EXISTS;
    }
    device->id = space.nextId++;
    if (space.nextId == 0) space.nextId = 1;
    space.present.push_back(device);
    *id = device->id;
    return 0;
}

extern "C" uint32_t tarvex_device_remove(uint32_t id) {
    DeviceNamespace& space = deviceNamespace();
    Device* removed = nullptr;
    {
        std::lock_guard guard(space.lock);
        for (auto it = space.present.begin(); it != space.present.end(); ++it) {
            if ((*it)->id != id) continue;
            removed = *it;
            removed->removed = true;
            space.present.erase(it);
            break;
        }
    }
    if (removed == nullptr) return TARVEX_DEVICE_ERROR_FILE_NOT_FOUND;
    dropDevice(removed);  // the registration's reference
    return 0;
}

extern "C" uint32_t tarvex_device_open_handles(void) {
    DeviceNamespace& space = deviceNamespace();
    std::lock_guard guard(space.lock);
    return space.files.live();
}

extern "C" HANDLE CreateFileA(LPCSTR name, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE) {
    if (name == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    DeviceNamespace& space = deviceNamespace();
    std::string_view rest;
    Device* device;
    {
        std::lock_guard guard(space.lock);
        device = findForOpen(space, name, rest);
    }
    if (device == nullptr) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    void* file = nullptr;
    if (device->ops.open != nullptr) {
        std::string restText(rest);
        if (uint32_t error = device->ops.open(device->driver, restText.c_str(), &file); error != 0) {
            dropDevice(device);
            SetLastError(error);
            return INVALID_HANDLE_VALUE;
        }
    }
    OpenFile* open = new OpenFile{device, file, 1};
    std::uintptr_t handle;
    {
        std::lock_guard guard(space.lock);
        handle = space.files.insert(open);
    }
    if (handle == 0) {
        dropFile(open);
        SetLastError(kErrorTooManyOpenFiles);
        return INVALID_HANDLE_VALUE;
    }
    return reinterpret_cast<HANDLE>(handle);
}

extern "C" BOOL CloseHandle(HANDLE handle) {
    DeviceNamespace& space = deviceNamespace();
    OpenFile* open = nullptr;
    bool found;
    {
        std::lock_guard guard(space.lock);
        found = space.files.erase(reinterpret_cast<std::uintptr_t>(handle), open);
    }
    if (!found) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    dropFile(open);
    return TRUE;
}

extern "C" BOOL DeviceIoControl(HANDLE handle, DWORD code, LPVOID in, DWORD inSize, LPVOID out, DWORD outSize,
                                LPDWORD bytesReturned, LPOVERLAPPED) {
    DeviceNamespace& space = deviceNamespace();
    OpenFile* open = nullptr;
    DWORD refusal = ERROR_SUCCESS;
    {
        std::lock_guard guard(space.lock);
        OpenFile** found = space.files.find(reinterpret_cast<std::uintptr_t>(handle));
        if (found == nullptr) {
            refusal = ERROR_INVALID_HANDLE;
        } else if ((*found)->device->removed) {
            refusal = ERROR_ACCESS_DENIED;
        } else {
            open = *found;
            ++open->references;  // the call in flight
        }
    }
    if (open == nullptr) {
        if (bytesReturned != nullptr) *bytesReturned = 0;
        SetLastError(refusal);
        return FALSE;
    }
    Device* device = open->device;
    uint32_t returned = 0;
    uint32_t error = ERROR_INVALID_FUNCTION;
    if (device->ops.control != nullptr)
        error = device->ops.control(device->driver, open->file, code, in, inSize, out, outSize, &returned);
    dropFile(open);
    if (bytesReturned != nullptr) *bytesReturned = returned;
    if (error != 0) {
        SetLastError(error);
        return FALSE;
    }
    return TRUE;
}
