#include "discovery/interface_devices.h"

#include <cstdio>

#include "discovery/open_parameters.h"

namespace tarvex {

char devicePath[DEVICE_PATH_BUFFER_SIZE];

namespace {

using GetClassDevsFunction = HDEVINFO(WINAPI*)(const GUID*, PCSTR, HWND, DWORD);
using EnumDeviceInterfacesFunction = BOOL(WINAPI*)(HDEVINFO, PSP_DEVINFO_DATA, const GUID*, DWORD,
                                                   PSP_DEVICE_INTERFACE_DATA);
using GetDeviceInterfaceDetailFunction = BOOL(WINAPI*)(HDEVINFO, PSP_DEVICE_INTERFACE_DATA,
                                                       PSP_DEVICE_INTERFACE_DETAIL_DATA_A, DWORD, PDWORD,
                                                       PSP_DEVINFO_DATA);
using DestroyDeviceInfoListFunction = BOOL(WINAPI*)(HDEVINFO);

constexpr DWORD PRESENT_INTERFACES = DIGCF_PRESENT | DIGCF_DEVICEINTERFACE;

// The size fields that the system's setupapi checks: the fixed part of each
// record as laid out for the build's word size (28 and 5 on 32-bit Windows,
// 32 and 8 on 64-bit).
constexpr DWORD INTERFACE_RECORD_SIZE = sizeof(void*) == 8 ? 32 : 28;
constexpr DWORD DETAIL_RECORD_SIZE = sizeof(void*) == 8 ? 8 : 5;
constexpr DWORD DETAIL_PATH_OFFSET = sizeof(DWORD);

template <typename Function>
Function lookUp(HMODULE library, const char* name) {
    // Through the generic function pointer type: the system declares the
    // result as a function of no arguments.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

// "setupapi.dll" loaded for one count or one open, with the entry points both
// need; unloaded again when it goes out of scope.
class SetupLibrary {
public:
    SetupLibrary() : module_(LoadLibraryA("setupapi.dll")) {
        if (module_ == nullptr) return;
        getClassDevs = lookUp<GetClassDevsFunction>(module_, "SetupDiGetClassDevsA");
        enumDeviceInterfaces = lookUp<EnumDeviceInterfacesFunction>(module_, "SetupDiEnumDeviceInterfaces");
        destroyDeviceInfoList =
            lookUp<DestroyDeviceInfoListFunction>(module_, "SetupDiDestroyDeviceInfoList");
    }
    ~SetupLibrary() {
        if (module_ != nullptr) FreeLibrary(module_);
    }
    SetupLibrary(const SetupLibrary&) = delete;
    SetupLibrary& operator=(const SetupLibrary&) = delete;

    HMODULE module() const { return module_; }
    // A library that lacks an entry point is treated as missing.
    bool usable() const {
        return module_ != nullptr && getClassDevs != nullptr && enumDeviceInterfaces != nullptr &&
               destroyDeviceInfoList != nullptr;
    }

    GetClassDevsFunction getClassDevs = nullptr;
    EnumDeviceInterfacesFunction enumDeviceInterfaces = nullptr;
    DestroyDeviceInfoListFunction destroyDeviceInfoList = nullptr;

private:
    HMODULE module_;
};

SP_DEVICE_INTERFACE_DATA interfaceRecord() {
    SP_DEVICE_INTERFACE_DATA record{};
    record.cbSize = INTERFACE_RECORD_SIZE;
    return record;
}

// Forms "<device path>\<suffix>" from the member's detail record and opens it.
HANDLE openMember(const SetupLibrary& setup, HDEVINFO devices, SP_DEVICE_INTERFACE_DATA& member,
                  char* pathBuffer, int suffix) {
    auto getDetail =
        lookUp<GetDeviceInterfaceDetailFunction>(setup.module(), "SetupDiGetDeviceInterfaceDetailA");
    if (getDetail == nullptr) return INVALID_HANDLE_VALUE;

    // The first call only learns the size; it is expected to fail.
    DWORD required = 0;
    getDetail(devices, &member, nullptr, 0, &required, nullptr);
    if (required <= DETAIL_PATH_OFFSET) return INVALID_HANDLE_VALUE;

    auto* detail = static_cast<PSP_DEVICE_INTERFACE_DETAIL_DATA_A>(HeapAlloc(GetProcessHeap(), 0, required));
    if (detail == nullptr) return INVALID_HANDLE_VALUE;
    detail->cbSize = DETAIL_RECORD_SIZE;

    HANDLE device = INVALID_HANDLE_VALUE;
    if (getDetail(devices, &member, detail, required, nullptr, nullptr)) {
        // The path must end within the record the system filled.
        char* path = detail->DevicePath;
        size_t limit = required - DETAIL_PATH_OFFSET;
        size_t length = 0;
        while (length < limit && path[length] != '\0') ++length;
        int formed =
            length < limit ? std::snprintf(pathBuffer, DEVICE_PATH_BUFFER_SIZE, "%s\\%d", path, suffix) : -1;
        // A path that does not fit the buffer is not opened.
        if (formed >= 0 && static_cast<size_t>(formed) < DEVICE_PATH_BUFFER_SIZE) {
            device = openDevicePath(pathBuffer);
            if (device == INVALID_HANDLE_VALUE) std::printf("FAILED to open %s\n", pathBuffer);
        }
    }
    HeapFree(GetProcessHeap(), 0, detail);
    return device;
}

}  // namespace

int32_t countInterfaceDevices(const GUID& interfaceClass) {
    SetupLibrary setup;
    if (!setup.usable()) return 0;
    HDEVINFO devices = setup.getClassDevs(&interfaceClass, nullptr, nullptr, PRESENT_INTERFACES);
    if (devices == INVALID_HANDLE_VALUE) return 0;

    int32_t count = 0;
    SP_DEVICE_INTERFACE_DATA member = interfaceRecord();
    while (count < INT32_MAX && setup.enumDeviceInterfaces(devices, nullptr, &interfaceClass,
                                                           static_cast<DWORD>(count), &member)) {
        ++count;
    }
    setup.destroyDeviceInfoList(devices);
    return count;
}

HANDLE openInterfaceDevice(const GUID& interfaceClass, char* pathBuffer, DWORD memberIndex, int suffix) {
    SetupLibrary setup;
    if (!setup.usable()) return INVALID_HANDLE_VALUE;
    HDEVINFO devices = setup.getClassDevs(&interfaceClass, nullptr, nullptr, PRESENT_INTERFACES);
    if (devices == INVALID_HANDLE_VALUE) return INVALID_HANDLE_VALUE;

    HANDLE device = INVALID_HANDLE_VALUE;
    SP_DEVICE_INTERFACE_DATA member = interfaceRecord();
    if (setup.enumDeviceInterfaces(devices, nullptr, &interfaceClass, memberIndex, &member)) {
        device = openMember(setup, devices, member, pathBuffer, suffix);
    }
    setup.destroyDeviceInfoList(devices);
    return device;
}

}  // namespace tarvex
