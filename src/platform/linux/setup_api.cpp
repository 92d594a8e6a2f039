// "setupapi.dll": loaded by name, its four entry points found by name, and
// device-interface enumeration over the device namespace.
//
// A device information set is a snapshot: a member removed afterwards still
// enumerates in it, and opening its path then fails, as on Windows.
#include "platform/linux/setup_api.h"

#include <atomic>
#include <cctype>
#include <cstddef>
#include <cstring>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/linux/device_namespace.h"
#include "platform/linux/handle_table.h"
#include "platform/win32.h"
#include "tarvex_device.h"

namespace tarvex::platform {
namespace {

// The size fields the system accepts: those of the build's word size.
constexpr DWORD kInterfaceDataSize = sizeof(void*) == 8 ? 32 : 28;
constexpr DWORD kDetailDataSize = sizeof(void*) == 8 ? 8 : 5;
static_assert(sizeof(SP_DEVICE_INTERFACE_DATA) == kInterfaceDataSize);
static_assert(sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A) == kDetailDataSize);

constexpr DWORD kSupportedFlags = DIGCF_PRESENT | DIGCF_DEVICEINTERFACE;

struct DeviceInfoSet {
    GUID interfaceClass{};
    std::vector<std::string> paths;
};

struct SetTable {
    std::mutex lock;
    HandleTable<DeviceInfoSet*> sets{HandleKind::DeviceInfoSet};
};

SetTable& setTable() {
    static SetTable* table = new SetTable();
    return *table;
}

constinit std::atomic<int> libraryState{TARVEX_SETUPAPI_PRESENT};
constinit std::atomic<uint32_t> loads{0};

// The module handle: a fixed value that is no address.
HMODULE setupApiModule() {
    return reinterpret_cast<HMODULE>(std::uintptr_t{0x7A5E0002u});
}

bool isSetupApiName(std::string_view name) {
    for (std::string_view known : {std::string_view("setupapi.dll"), std::string_view("setupapi")}) {
        if (name.size() != known.size()) continue;
        bool same = true;
        for (size_t i = 0; i < name.size() && same; ++i)
            same = std::tolower(static_cast<unsigned char>(name[i])) == known[i];
        if (same) return true;
    }
    return false;
}

// The interface record's reference to its member: the member's index + 1.
bool memberOf(DeviceInfoSet& set, const SP_DEVICE_INTERFACE_DATA& data, const std::string*& path) {
    if (data.Reserved == 0 || data.Reserved > set.paths.size()) return false;
    path = &set.paths[data.Reserved - 1];
    return true;
}

bool fail(DWORD error) {
    SetLastError(error);
    return false;
}

}  // namespace

uint32_t setupApiLoads() {
    return loads.load();
}

uint32_t liveDeviceInfoSets() {
    SetTable& table = setTable();
    std::lock_guard guard(table.lock);
    return table.sets.live();
}

}  // namespace tarvex::platform

using namespace tarvex::platform;

extern "C" void tarvex_system_set_setupapi(int state) {
    libraryState.store(state);
}

extern "C" HMODULE LoadLibraryA(LPCSTR name) {
    if (name == nullptr || !isSetupApiName(name) || libraryState.load() == TARVEX_SETUPAPI_MISSING) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    loads.fetch_add(1);
    return setupApiModule();
}

extern "C" BOOL FreeLibrary(HMODULE module) {
    uint32_t held = loads.load();
    while (module == setupApiModule() && held > 0) {
        if (loads.compare_exchange_weak(held, held - 1)) return TRUE;
    }
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
}

extern "C" FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
    if (module != setupApiModule() || loads.load() == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    int state = libraryState.load();
    std::string_view wanted = name != nullptr ? name : "";
    FARPROC found = nullptr;
    if (wanted == "SetupDiGetClassDevsA") {
        found = reinterpret_cast<FARPROC>(&SetupDiGetClassDevsA);
    } else if (wanted == "SetupDiEnumDeviceInterfaces") {
        if (state != TARVEX_SETUPAPI_NO_ENUM) found = reinterpret_cast<FARPROC>(&SetupDiEnumDeviceInterfaces);
    } else if (wanted == "SetupDiGetDeviceInterfaceDetailA") {
        if (state != TARVEX_SETUPAPI_NO_DETAIL)
            found = reinterpret_cast<FARPROC>(&SetupDiGetDeviceInterfaceDetailA);
    } else if (wanted == "SetupDiDestroyDeviceInfoList") {
        found = reinterpret_cast<FARPROC>(&SetupDiDestroyDeviceInfoList);
    }
    if (found == nullptr) SetLastError(ERROR_PROC_NOT_FOUND);
    return found;
}

// Only the present members of one interface class are listed; an
// enumerator or other flags are not supported by this stand-in.
extern "C" HDEVINFO SetupDiGetClassDevsA(const GUID* classGuid, PCSTR enumerator, HWND, DWORD flags) {
    if (classGuid == nullptr || enumerator != nullptr || flags != kSupportedFlags) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    DeviceInfoSet* set = new DeviceInfoSet{*classGuid, presentInterfacePaths(*classGuid)};
    SetTable& table = setTable();
    std::uintptr_t handle;
    {
        std::lock_guard guard(table.lock);
        handle = table.sets.insert(set);
    }
    if (handle == 0) {
        delete set;
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return INVALID_HANDLE_VALUE;
    }
    return reinterpret_cast<HDEVINFO>(handle);
}

extern "C" BOOL SetupDiDestroyDeviceInfoList(HDEVINFO handle) {
    SetTable& table = setTable();
    DeviceInfoSet* set = nullptr;
    bool found;
    {
        std::lock_guard guard(table.lock);
        found = table.sets.erase(reinterpret_cast<std::uintptr_t>(handle), set);
    }
    if (!found) return fail(ERROR_INVALID_HANDLE);
    delete set;
    return TRUE;
}

extern "C" BOOL SetupDiEnumDeviceInterfaces(HDEVINFO handle, PSP_DEVINFO_DATA, const GUID* classGuid,
                                            DWORD index, PSP_DEVICE_INTERFACE_DATA interfaceData) {
    SetTable& table = setTable();
    std::lock_guard guard(table.lock);
    DeviceInfoSet** set = table.sets.find(reinterpret_cast<std::uintptr_t>(handle));
    if (set == nullptr) return fail(ERROR_INVALID_HANDLE);
    if (classGuid == nullptr || interfaceData == nullptr || interfaceData->cbSize != kInterfaceDataSize)
        return fail(ERROR_INVALID_PARAMETER);
    // Every member of the set belongs to the set's class.
    if (!sameGuid(*classGuid, (*set)->interfaceClass) || index >= (*set)->paths.size())
        return fail(ERROR_NO_MORE_ITEMS);
    interfaceData->InterfaceClassGuid = (*set)->interfaceClass;
    interfaceData->Flags = SPINT_ACTIVE;
    interfaceData->Reserved = static_cast<ULONG_PTR>(index) + 1;
    return TRUE;
}

// The size protocol of the system: without a buffer (size 0), or with one too
// small, the call fails with ERROR_INSUFFICIENT_BUFFER and reports the size
// needed; the record's size field must be that of the fixed part.
extern "C" BOOL SetupDiGetDeviceInterfaceDetailA(HDEVINFO handle, PSP_DEVICE_INTERFACE_DATA interfaceData,
                                                 PSP_DEVICE_INTERFACE_DETAIL_DATA_A detail, DWORD detailSize,
                                                 PDWORD requiredSize, PSP_DEVINFO_DATA) {
    SetTable& table = setTable();
    std::lock_guard guard(table.lock);
    DeviceInfoSet** set = table.sets.find(reinterpret_cast<std::uintptr_t>(handle));
    if (set == nullptr) return fail(ERROR_INVALID_HANDLE);
    const std::string* path = nullptr;
    if (interfaceData == nullptr || interfaceData->cbSize != kInterfaceDataSize ||
        !memberOf(**set, *interfaceData, path))
        return fail(ERROR_INVALID_PARAMETER);
    if (detail == nullptr && detailSize != 0) return fail(ERROR_INVALID_USER_BUFFER);
    if (detail != nullptr && (detailSize < sizeof(DWORD) || detail->cbSize != kDetailDataSize))
        return fail(ERROR_INVALID_USER_BUFFER);
    DWORD needed =
        static_cast<DWORD>(offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath) + path->size() + 1);
    if (requiredSize != nullptr) *requiredSize = needed;
    if (detail == nullptr || detailSize < needed) return fail(ERROR_INSUFFICIENT_BUFFER);
    char* pathField =
        reinterpret_cast<char*>(detail) + offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath);
    std::memcpy(pathField, path->c_str(), path->size() + 1);
    return TRUE;
}
