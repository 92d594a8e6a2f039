// The stand-in's "setupapi.dll": loading it by name, its entry points and
// their absence, enumeration snapshots in creation order, the record sizes
// and the size protocol of the interface detail.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "platform/linux/setup_api.h"
#include "platform/win32.h"
#include "tarvex_device.h"

namespace {

using tarvex::platform::liveDeviceInfoSets;
using tarvex::platform::setupApiLoads;

constexpr const char* kTestClassText = "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F1}";
constexpr GUID kTestClass = {0x0F1E2D3C, 0x4B5A, 0x6978, {0x87, 0x96, 0xA5, 0xB4, 0xC3, 0xD2, 0xE1, 0xF1}};
constexpr const char* kOtherClassText = "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F2}";
constexpr DWORD kPresentInterfaces = DIGCF_PRESENT | DIGCF_DEVICEINTERFACE;
constexpr DWORD kInterfaceDataSize = sizeof(void*) == 8 ? 32 : 28;
constexpr DWORD kDetailDataSize = sizeof(void*) == 8 ? 8 : 5;

constexpr tarvex_device_ops kAcceptingOps = {nullptr, nullptr, nullptr, nullptr};

std::string memberPath(int n) {
    return "\\\\?\\root#platform_setupapi#000" + std::to_string(n) +
           "#{0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f1}";
}

class PlatformSetupApi : public ::testing::Test {
protected:
    void SetUp() override {
        loadsBefore_ = setupApiLoads();
        setsBefore_ = liveDeviceInfoSets();
    }
    void TearDown() override {
        for (uint32_t id : devices_) tarvex_device_remove(id);
        tarvex_system_set_setupapi(TARVEX_SETUPAPI_PRESENT);
        EXPECT_EQ(setupApiLoads(), loadsBefore_);
        EXPECT_EQ(liveDeviceInfoSets(), setsBefore_);
    }

    uint32_t addMember(const std::string& path, const char* interfaceClass = kTestClassText) {
        tarvex_device_desc desc{nullptr, interfaceClass, path.c_str(), &kAcceptingOps, nullptr};
        uint32_t id = 0;
        EXPECT_EQ(tarvex_device_create(&desc, &id), 0u) << path;
        devices_.push_back(id);
        return id;
    }

    static SP_DEVICE_INTERFACE_DATA interfaceRecord() {
        SP_DEVICE_INTERFACE_DATA record{};
        record.cbSize = kInterfaceDataSize;
        return record;
    }

    // The device paths that a snapshot enumerates.
    static std::vector<std::string> enumeratedPaths(HDEVINFO set) {
        std::vector<std::string> paths;
        SP_DEVICE_INTERFACE_DATA record = interfaceRecord();
        for (DWORD i = 0; SetupDiEnumDeviceInterfaces(set, nullptr, &kTestClass, i, &record); ++i) {
            DWORD required = 0;
            SetupDiGetDeviceInterfaceDetailA(set, &record, nullptr, 0, &required, nullptr);
            std::vector<unsigned char> storage(required);
            auto* detail = reinterpret_cast<PSP_DEVICE_INTERFACE_DETAIL_DATA_A>(storage.data());
            detail->cbSize = kDetailDataSize;
            EXPECT_TRUE(SetupDiGetDeviceInterfaceDetailA(set, &record, detail, required, nullptr, nullptr));
            paths.emplace_back(reinterpret_cast<const char*>(storage.data()) +
                               offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath));
        }
        EXPECT_EQ(GetLastError(), ERROR_NO_MORE_ITEMS);
        return paths;
    }

    std::vector<uint32_t> devices_;
    uint32_t loadsBefore_ = 0;
    uint32_t setsBefore_ = 0;
};

struct LibraryName {
    const char* name;
    bool loads;
};

class LoadByName : public PlatformSetupApi, public ::testing::WithParamInterface<LibraryName> {};

TEST_P(LoadByName, FindsOnlySetupApiInAnyCase) {
    SetLastError(0);
    HMODULE module = LoadLibraryA(GetParam().name);
    if (!GetParam().loads) {
        EXPECT_EQ(module, nullptr);
        EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
        return;
    }
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(setupApiLoads(), loadsBefore_ + 1);
    EXPECT_TRUE(FreeLibrary(module));
}

INSTANTIATE_TEST_SUITE_P(
    Names, LoadByName,
    ::testing::Values(LibraryName{"setupapi.dll", true}, LibraryName{"SETUPAPI.DLL", true},
                      LibraryName{"SetupAPI.dll", true}, LibraryName{"kernel32.dll", false},
                      LibraryName{"setupapi.dl", false}, LibraryName{"xsetupapi.dll", false},
                      LibraryName{"", false}, LibraryName{nullptr, false}));

// Which entry points GetProcAddress finds in each state of the library.
struct EntryPointCase {
    int state;
    bool enumFound;
    bool detailFound;
};

class EntryPoints : public PlatformSetupApi, public ::testing::WithParamInterface<EntryPointCase> {};

TEST_P(EntryPoints, AreFoundByNameUnlessMissing) {
    tarvex_system_set_setupapi(GetParam().state);
    HMODULE module = LoadLibraryA("setupapi.dll");
    ASSERT_NE(module, nullptr);
    struct Expected {
        const char* name;
        FARPROC address;
        bool found;
    };
    const Expected expected[] = {
        {"SetupDiGetClassDevsA", reinterpret_cast<FARPROC>(&SetupDiGetClassDevsA), true},
        {"SetupDiEnumDeviceInterfaces", reinterpret_cast<FARPROC>(&SetupDiEnumDeviceInterfaces),
         GetParam().enumFound},
        {"SetupDiGetDeviceInterfaceDetailA", reinterpret_cast<FARPROC>(&SetupDiGetDeviceInterfaceDetailA),
         GetParam().detailFound},
        {"SetupDiDestroyDeviceInfoList", reinterpret_cast<FARPROC>(&SetupDiDestroyDeviceInfoList), true},
        {"SetupDiGetClassDevsW", nullptr, false},
        {"setupdigetclassdevsa", nullptr, false},  // names are exact
    };
    for (const Expected& entry : expected) {
        SetLastError(0);
        FARPROC address = GetProcAddress(module, entry.name);
        EXPECT_EQ(address, entry.found ? entry.address : nullptr) << entry.name;
        if (!entry.found) {
            EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND) << entry.name;
        }
    }
    EXPECT_TRUE(FreeLibrary(module));
}

INSTANTIATE_TEST_SUITE_P(States, EntryPoints,
                         ::testing::Values(EntryPointCase{TARVEX_SETUPAPI_PRESENT, true, true},
                                           EntryPointCase{TARVEX_SETUPAPI_NO_ENUM, false, true},
                                           EntryPointCase{TARVEX_SETUPAPI_NO_DETAIL, true, false}));

TEST_F(PlatformSetupApi, MissingLibraryCannotBeLoaded) {
    tarvex_system_set_setupapi(TARVEX_SETUPAPI_MISSING);
    EXPECT_EQ(LoadLibraryA("setupapi.dll"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
}

TEST_F(PlatformSetupApi, UnloadedModuleFindsNothingAndFreesNoMore) {
    HMODULE module = LoadLibraryA("setupapi.dll");
    ASSERT_TRUE(FreeLibrary(module));
    if (setupApiLoads() == 0) {
        EXPECT_EQ(GetProcAddress(module, "SetupDiGetClassDevsA"), nullptr);
        EXPECT_FALSE(FreeLibrary(module));
    }
    EXPECT_FALSE(FreeLibrary(nullptr));
}

TEST_F(PlatformSetupApi, SnapshotListsPresentMembersOfTheClassInCreationOrder) {
    addMember(memberPath(3));
    addMember(memberPath(1));
    addMember("\\\\?\\root#other#0000", kOtherClassText);
    uint32_t removed = addMember(memberPath(2));
    tarvex_device_desc named{"\\\\.\\KQ-PlatformSetupApi1", nullptr, nullptr, &kAcceptingOps, nullptr};
    uint32_t namedId = 0;
    ASSERT_EQ(tarvex_device_create(&named, &namedId), 0u);
    devices_.push_back(namedId);
    tarvex_device_remove(removed);

    HDEVINFO set = SetupDiGetClassDevsA(&kTestClass, nullptr, nullptr, kPresentInterfaces);
    ASSERT_NE(set, INVALID_HANDLE_VALUE);
    EXPECT_EQ(enumeratedPaths(set), (std::vector<std::string>{memberPath(3), memberPath(1)}));
    EXPECT_TRUE(SetupDiDestroyDeviceInfoList(set));
}

TEST_F(PlatformSetupApi, EmptyClassGivesAnEmptySet) {
    HDEVINFO set = SetupDiGetClassDevsA(&kTestClass, nullptr, nullptr, kPresentInterfaces);
    ASSERT_NE(set, INVALID_HANDLE_VALUE);
    SP_DEVICE_INTERFACE_DATA record = interfaceRecord();
    EXPECT_FALSE(SetupDiEnumDeviceInterfaces(set, nullptr, &kTestClass, 0, &record));
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_ITEMS);
    EXPECT_TRUE(SetupDiDestroyDeviceInfoList(set));
}

TEST_F(PlatformSetupApi, MemberRemovedAfterTheSnapshotStillEnumeratesButDoesNotOpen) {
    uint32_t id = addMember(memberPath(1));
    HDEVINFO set = SetupDiGetClassDevsA(&kTestClass, nullptr, nullptr, kPresentInterfaces);
    ASSERT_NE(set, INVALID_HANDLE_VALUE);
    // Plugged in after the snapshot: not in it.
    addMember(memberPath(2));
    tarvex_device_remove(id);
    EXPECT_EQ(enumeratedPaths(set), std::vector<std::string>{memberPath(1)});
    std::string path = memberPath(1) + "\\0";
    EXPECT_EQ(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 3, nullptr, OPEN_EXISTING,
                          FILE_FLAG_OVERLAPPED, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(SetupDiDestroyDeviceInfoList(set));
}

TEST_F(PlatformSetupApi, ListsOnlyPresentInterfaceMembersOfOneClass) {
    const DWORD flags[] = {0, DIGCF_PRESENT, DIGCF_DEVICEINTERFACE, kPresentInterfaces | 0x4};
    for (DWORD flag : flags) {
        SetLastError(0);
        EXPECT_EQ(SetupDiGetClassDevsA(&kTestClass, nullptr, nullptr, flag), INVALID_HANDLE_VALUE) << flag;
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER) << flag;
    }
    EXPECT_EQ(SetupDiGetClassDevsA(nullptr, nullptr, nullptr, kPresentInterfaces), INVALID_HANDLE_VALUE);
}

TEST_F(PlatformSetupApi, InterfaceRecordMustCarryTheSizeOfTheBuild) {
    addMember(memberPath(1));
    HDEVINFO set = SetupDiGetClassDevsA(&kTestClass, nullptr, nullptr, kPresentInterfaces);
    const DWORD otherSizes[] = {0, 28 + 32 - kInterfaceDataSize, kInterfaceDataSize + 4, 0xFFFFFFFF};
    for (DWORD size : otherSizes) {
        SP_DEVICE_INTERFACE_DATA record{};
        record.cbSize = size;
        SetLastError(0);
        EXPECT_FALSE(SetupDiEnumDeviceInterfaces(set, nullptr, &kTestClass, 0, &record)) << size;
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER) << size;
    }
    SP_DEVICE_INTERFACE_DATA record = interfaceRecord();
    ASSERT_TRUE(SetupDiEnumDeviceInterfaces(set, nullptr, &kTestClass, 0, &record));
    EXPECT_EQ(std::memcmp(&record.InterfaceClassGuid, &kTestClass, sizeof kTestClass), 0);
    EXPECT_EQ(record.Flags, SPINT_ACTIVE);
    EXPECT_FALSE(SetupDiEnumDeviceInterfaces(set, nullptr, &kTestClass, 1, &record));
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_ITEMS);
    EXPECT_FALSE(SetupDiEnumDeviceInterfaces(set, nullptr, &kTestClass, 0xFFFFFFFF, &record));
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_ITEMS);
    SetupDiDestroyDeviceInfoList(set);
}

// The detail call: the size query, a buffer too small, a wrong size field and
// the call that copies the path, in the order the system checks them.
struct DetailCase {
    const char* what;
    bool withBuffer;
    int bufferShortBy;  // bytes below the required size
    DWORD sizeField;
    BOOL succeeds;
    DWORD error;
};

class InterfaceDetail : public PlatformSetupApi, public ::testing::WithParamInterface<DetailCase> {};

TEST_P(InterfaceDetail, FollowsTheSizeProtocol) {
    const DetailCase& call = GetParam();
    std::string path = memberPath(7);
    addMember(path);
    HDEVINFO set = SetupDiGetClassDevsA(&kTestClass, nullptr, nullptr, kPresentInterfaces);
    SP_DEVICE_INTERFACE_DATA record = interfaceRecord();
    ASSERT_TRUE(SetupDiEnumDeviceInterfaces(set, nullptr, &kTestClass, 0, &record));

    const DWORD needed =
        static_cast<DWORD>(offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath) + path.size() + 1);
    std::vector<unsigned char> storage(needed + 16, 0xCC);
    auto* detail = reinterpret_cast<PSP_DEVICE_INTERFACE_DETAIL_DATA_A>(storage.data());
    detail->cbSize = call.sizeField;
    DWORD size = call.withBuffer ? needed - call.bufferShortBy : 0;
    DWORD required = 0;
    SetLastError(0);
    BOOL result = SetupDiGetDeviceInterfaceDetailA(set, &record, call.withBuffer ? detail : nullptr, size,
                                                   &required, nullptr);
    EXPECT_EQ(result, call.succeeds);
    if (!call.succeeds) {
        EXPECT_EQ(GetLastError(), call.error);
    }
    bool sizeReported = call.succeeds || call.error == ERROR_INSUFFICIENT_BUFFER;
    EXPECT_EQ(required, sizeReported ? needed : 0u);
    const char* copied = reinterpret_cast<const char*>(storage.data()) +
                         offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath);
    if (call.succeeds) {
        EXPECT_STREQ(copied, path.c_str());
        EXPECT_EQ(storage[needed], 0xCC);  // nothing written past the record
    } else if (call.withBuffer) {
        EXPECT_EQ(static_cast<unsigned char>(copied[0]), 0xCC);
    }
    SetupDiDestroyDeviceInfoList(set);
}

INSTANTIATE_TEST_SUITE_P(
    Calls, InterfaceDetail,
    ::testing::Values(DetailCase{"size_query", false, 0, 0, FALSE, ERROR_INSUFFICIENT_BUFFER},
                      DetailCase{"exact_buffer", true, 0, kDetailDataSize, TRUE, 0},
                      DetailCase{"one_byte_short", true, 1, kDetailDataSize, FALSE,
                                 ERROR_INSUFFICIENT_BUFFER},
                      DetailCase{"size_field_of_other_word_size", true, 0, 13 - kDetailDataSize, FALSE,
                                 ERROR_INVALID_USER_BUFFER},
                      DetailCase{"size_field_zero", true, 0, 0, FALSE, ERROR_INVALID_USER_BUFFER},
                      DetailCase{"size_field_whole_buffer", true, 0, 200, FALSE, ERROR_INVALID_USER_BUFFER}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(PlatformSetupApi, DetailWithoutABufferButWithASizeIsABadBuffer) {
    addMember(memberPath(1));
    HDEVINFO set = SetupDiGetClassDevsA(&kTestClass, nullptr, nullptr, kPresentInterfaces);
    SP_DEVICE_INTERFACE_DATA record = interfaceRecord();
    ASSERT_TRUE(SetupDiEnumDeviceInterfaces(set, nullptr, &kTestClass, 0, &record));
    DWORD required = 0;
    EXPECT_FALSE(SetupDiGetDeviceInterfaceDetailA(set, &record, nullptr, 64, &required, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_USER_BUFFER);
    // A record that this set did not fill names no member.
    SP_DEVICE_INTERFACE_DATA blank = interfaceRecord();
    EXPECT_FALSE(SetupDiGetDeviceInterfaceDetailA(set, &blank, nullptr, 0, &required, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    SetupDiDestroyDeviceInfoList(set);
}

TEST_F(PlatformSetupApi, DestroyedOrForeignSetsAreRefused) {
    HDEVINFO set = SetupDiGetClassDevsA(&kTestClass, nullptr, nullptr, kPresentInterfaces);
    EXPECT_EQ(liveDeviceInfoSets(), setsBefore_ + 1);
    ASSERT_TRUE(SetupDiDestroyDeviceInfoList(set));
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 8);
    SP_DEVICE_INTERFACE_DATA record = interfaceRecord();
    for (HDEVINFO value : {set, HDEVINFO{}, INVALID_HANDLE_VALUE, static_cast<HDEVINFO>(block)}) {
        SetLastError(0);
        EXPECT_FALSE(SetupDiEnumDeviceInterfaces(value, nullptr, &kTestClass, 0, &record));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
        EXPECT_FALSE(SetupDiDestroyDeviceInfoList(value));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    }
    GlobalFree(block);
}

}  // namespace
