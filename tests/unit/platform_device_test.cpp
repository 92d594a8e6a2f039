// The device namespace of the Linux stand-in: creating and removing devices,
// opening them by name or interface path, forwarding device-control calls,
// refusing stale and foreign handles, and hot-plug removal with handles open
// or from inside the driver's own call.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32.h"
#include "tarvex_device.h"

namespace {

constexpr const char* kTestClass = "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}";
constexpr const char* kTestPath = "\\\\?\\root#platform_test#0000#{0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0}";
constexpr uint32_t kRemoveSelfCode = 0x7700;

// A driver that records what the namespace asks of it.
struct RecordingDriver {
    std::mutex lock;
    std::vector<std::string> events;
    uint32_t openError = 0;
    uint32_t controlError = 0;
    uint32_t reportedBytes = 0;
    uint32_t deviceId = 0;
    std::atomic<int> releases{0};

    void note(std::string event) {
        std::lock_guard guard(lock);
        events.push_back(std::move(event));
    }
    std::vector<std::string> takeEvents() {
        std::lock_guard guard(lock);
        return std::exchange(events, {});
    }

    static RecordingDriver& of(void* driver) { return *static_cast<RecordingDriver*>(driver); }

    static uint32_t open(void* driver, const char* rest, void** file) {
        RecordingDriver& self = of(driver);
        self.note(std::string("open '") + rest + "'");
        if (self.openError != 0) return self.openError;
        *file = &self.events;  // any context; the close must hand it back
        return 0;
    }
    static void close(void* driver, void* file) {
        RecordingDriver& self = of(driver);
        self.note(file == &self.events ? "close" : "close with a foreign file");
    }
    static uint32_t control(void* driver, void*, uint32_t code, const void* in, uint32_t inSize, void* out,
                            uint32_t outSize, uint32_t* bytesReturned) {
        RecordingDriver& self = of(driver);
        self.note("control " + std::to_string(code) + " in=" + std::to_string(inSize) +
                  " out=" + std::to_string(outSize));
        if (code == kRemoveSelfCode) {
            EXPECT_EQ(tarvex_device_remove(self.deviceId), 0u);
            EXPECT_EQ(self.releases.load(), 0) << "released while its call was in flight";
        }
        // Echo the input, reversed, into the caller's output buffer.
        uint32_t count = inSize < outSize ? inSize : outSize;
        for (uint32_t i = 0; i < count; ++i)
            static_cast<uint8_t*>(out)[i] = static_cast<const uint8_t*>(in)[inSize - 1 - i];
        *bytesReturned = self.reportedBytes != 0 ? self.reportedBytes : count;
        return self.controlError;
    }
    static void release(void* driver) {
        RecordingDriver& self = of(driver);
        self.note("release");
        self.releases.fetch_add(1);
    }
};

constexpr tarvex_device_ops kRecordingOps = {RecordingDriver::open, RecordingDriver::close,
                                             RecordingDriver::control, RecordingDriver::release};

HANDLE openDevice(const char* name) {
    return CreateFileA(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
}

BOOL control(HANDLE handle, DWORD code, const std::vector<uint8_t>& in, std::vector<uint8_t>& out,
             DWORD* bytesReturned) {
    return DeviceIoControl(handle, code, const_cast<uint8_t*>(in.data()), static_cast<DWORD>(in.size()),
                           out.data(), static_cast<DWORD>(out.size()), bytesReturned, nullptr);
}

class PlatformDevice : public ::testing::Test {
protected:
    // One device with both a numbered name and an interface path.
    void SetUp() override {
        handlesBefore_ = tarvex_device_open_handles();
        tarvex_device_desc desc{"\\\\.\\KQ-PlatformTest1", kTestClass, kTestPath, &kRecordingOps, &driver_};
        ASSERT_EQ(tarvex_device_create(&desc, &id_), 0u);
        ASSERT_GT(id_, 0u);
        driver_.deviceId = id_;
    }
    void TearDown() override {
        tarvex_device_remove(id_);
        EXPECT_EQ(tarvex_device_open_handles(), handlesBefore_);
    }

    RecordingDriver driver_;
    uint32_t id_ = 0;
    uint32_t handlesBefore_ = 0;
};

struct OpenCase {
    const char* what;
    std::string name;
    bool opens;
    const char* rest;
};

class OpenByName : public PlatformDevice, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(OpenByName, FindsTheDeviceAndHandsTheDriverWhatFollowedItsName) {
    const OpenCase& open = GetParam();
    SetLastError(0);
    HANDLE handle = openDevice(open.name.c_str());
    if (!open.opens) {
        EXPECT_EQ(handle, INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
        EXPECT_TRUE(driver_.takeEvents().empty());
        return;
    }
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    EXPECT_EQ(tarvex_device_open_handles(), handlesBefore_ + 1);
    EXPECT_TRUE(CloseHandle(handle));
    EXPECT_EQ(driver_.takeEvents(),
              (std::vector<std::string>{std::string("open '") + open.rest + "'", "close"}));
}

std::string upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Names, OpenByName,
    ::testing::Values(OpenCase{"dos_name", "\\\\.\\KQ-PlatformTest1", true, ""},
                      OpenCase{"dos_name_other_case", "\\\\.\\kq-platformtest1", true, ""},
                      OpenCase{"dos_name_with_more", "\\\\.\\KQ-PlatformTest12", false, ""},
                      OpenCase{"dos_name_shorter", "\\\\.\\KQ-PlatformTest", false, ""},
                      OpenCase{"path_and_suffix_0", std::string(kTestPath) + "\\0", true, "\\0"},
                      OpenCase{"path_alone", kTestPath, true, ""},
                      OpenCase{"path_other_case", upper(std::string(kTestPath) + "\\0"), true, "\\0"},
                      OpenCase{"path_run_on", std::string(kTestPath) + "0", false, ""},
                      OpenCase{"path_cut_short", std::string(kTestPath).substr(0, 20), false, ""},
                      OpenCase{"empty", "", false, ""}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(PlatformDevice, DriverRefusalIsTheOpensError) {
    driver_.openError = TARVEX_DEVICE_ERROR_GEN_FAILURE;
    EXPECT_EQ(openDevice("\\\\.\\KQ-PlatformTest1"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), TARVEX_DEVICE_ERROR_GEN_FAILURE);
    EXPECT_EQ(tarvex_device_open_handles(), handlesBefore_);
    EXPECT_EQ(driver_.takeEvents(), std::vector<std::string>{"open ''"});
}

TEST_F(PlatformDevice, ControlCallReachesTheDriverWithTheCallersBuffers) {
    HANDLE handle = openDevice("\\\\.\\KQ-PlatformTest1");
    driver_.takeEvents();
    std::vector<uint8_t> in{1, 2, 3}, out(8, 0xEE);
    DWORD returned = 99;
    EXPECT_TRUE(control(handle, 456, in, out, &returned));
    EXPECT_EQ(returned, 3u);
    EXPECT_EQ(out, (std::vector<uint8_t>{3, 2, 1, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE}));
    // Without a counter the call still runs.
    EXPECT_TRUE(control(handle, 20, in, out, nullptr));
    EXPECT_EQ(driver_.takeEvents(),
              (std::vector<std::string>{"control 456 in=3 out=8", "control 20 in=3 out=8"}));
    CloseHandle(handle);
}

TEST_F(PlatformDevice, DriverFailureIsTheCallersLastErrorWithItsByteCount) {
    HANDLE handle = openDevice("\\\\.\\KQ-PlatformTest1");
    driver_.controlError = TARVEX_DEVICE_ERROR_NOT_CONNECTED;
    driver_.reportedBytes = 2;
    std::vector<uint8_t> in{1, 2, 3, 4}, out(4);
    DWORD returned = 0;
    SetLastError(0);
    EXPECT_FALSE(control(handle, 6, in, out, &returned));
    EXPECT_EQ(GetLastError(), TARVEX_DEVICE_ERROR_NOT_CONNECTED);
    EXPECT_EQ(returned, 2u);
    CloseHandle(handle);
}

// Values that are no open handle: refused with error 6, the driver not called.
TEST_F(PlatformDevice, RefusesValuesThatAreNoOpenHandle) {
    HANDLE closed = openDevice("\\\\.\\KQ-PlatformTest1");
    CloseHandle(closed);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 8);
    int local = 0;
    HANDLE values[] = {nullptr,         INVALID_HANDLE_VALUE,
                       closed,          block,
                       &local,          reinterpret_cast<HANDLE>(std::uintptr_t{0x1234}),
                       GetProcessHeap()};
    driver_.takeEvents();
    std::vector<uint8_t> in(4), out(4);
    for (HANDLE value : values) {
        DWORD returned = 77;
        SetLastError(0);
        EXPECT_FALSE(control(value, 20, in, out, &returned)) << value;
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE) << value;
        EXPECT_EQ(returned, 0u) << value;
        SetLastError(0);
        EXPECT_FALSE(CloseHandle(value)) << value;
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE) << value;
    }
    EXPECT_TRUE(driver_.takeEvents().empty());
    GlobalFree(block);
}

TEST_F(PlatformDevice, ReopeningGivesANewHandleAndTheOldStaysClosed) {
    HANDLE first = openDevice("\\\\.\\KQ-PlatformTest1");
    CloseHandle(first);
    HANDLE second = openDevice("\\\\.\\KQ-PlatformTest1");
    ASSERT_NE(second, INVALID_HANDLE_VALUE);
    EXPECT_NE(second, first);
    std::vector<uint8_t> in(4), out(4);
    DWORD returned;
    EXPECT_FALSE(control(first, 20, in, out, &returned));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_TRUE(control(second, 20, in, out, &returned));
    CloseHandle(second);
}

TEST_F(PlatformDevice, RemovalWithAHandleOpenFailsItsCallsWithError5) {
    HANDLE handle = openDevice(kTestPath);
    ASSERT_EQ(tarvex_device_remove(id_), 0u);
    driver_.takeEvents();
    std::vector<uint8_t> in(4), out(4);
    DWORD returned = 99;
    EXPECT_FALSE(control(handle, 20, in, out, &returned));
    EXPECT_EQ(GetLastError(), TARVEX_DEVICE_ERROR_ACCESS_DENIED);
    EXPECT_EQ(returned, 0u);
    // Gone from the namespace: it cannot be opened again, nor removed twice.
    EXPECT_EQ(openDevice(kTestPath), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(tarvex_device_remove(id_), TARVEX_DEVICE_ERROR_FILE_NOT_FOUND);
    // The open handle keeps the driver until it is closed; the driver hears
    // no close after its device was removed.
    EXPECT_EQ(driver_.releases.load(), 0);
    EXPECT_EQ(tarvex_device_open_handles(), handlesBefore_ + 1);
    EXPECT_TRUE(CloseHandle(handle));
    EXPECT_EQ(driver_.takeEvents(), std::vector<std::string>{"release"});
}

TEST_F(PlatformDevice, RemovalWithoutHandlesReleasesTheDriverAtOnce) {
    ASSERT_EQ(tarvex_device_remove(id_), 0u);
    EXPECT_EQ(driver_.takeEvents(), std::vector<std::string>{"release"});
}

TEST_F(PlatformDevice, DriverMayRemoveItsDeviceFromInsideItsCall) {
    HANDLE handle = openDevice("\\\\.\\KQ-PlatformTest1");
    std::vector<uint8_t> in{9}, out(1);
    DWORD returned = 0;
    EXPECT_TRUE(control(handle, kRemoveSelfCode, in, out, &returned));
    EXPECT_EQ(returned, 1u);
    EXPECT_EQ(driver_.releases.load(), 0);  // the handle still holds it
    EXPECT_FALSE(control(handle, 20, in, out, &returned));
    EXPECT_EQ(GetLastError(), TARVEX_DEVICE_ERROR_ACCESS_DENIED);
    CloseHandle(handle);
    EXPECT_EQ(driver_.releases.load(), 1);
    EXPECT_EQ(driver_.takeEvents(),
              (std::vector<std::string>{"open ''", "control 30464 in=1 out=1", "release"}));
}

// A driver whose call closes its own handle and removes its device: only
// the call's reference is left, and the release waits for the call to return.
struct SelfClosingDriver {
    HANDLE handle = INVALID_HANDLE_VALUE;
    uint32_t id = 0;
    std::atomic<int> releases{0};
    bool releasedDuringCall = false;

    static uint32_t control(void* driver, void*, uint32_t, const void*, uint32_t, void*, uint32_t,
                            uint32_t* bytesReturned) {
        auto& self = *static_cast<SelfClosingDriver*>(driver);
        EXPECT_TRUE(CloseHandle(self.handle));
        EXPECT_EQ(tarvex_device_remove(self.id), 0u);
        self.releasedDuringCall = self.releases.load() != 0;
        *bytesReturned = 0;
        return 0;
    }
    static void release(void* driver) { static_cast<SelfClosingDriver*>(driver)->releases.fetch_add(1); }
};

TEST(PlatformDeviceRelease, CallInFlightKeepsTheDriverUntilItReturns) {
    SelfClosingDriver driver;
    constexpr tarvex_device_ops ops{nullptr, nullptr, SelfClosingDriver::control, SelfClosingDriver::release};
    tarvex_device_desc desc{"\\\\.\\KQ-PlatformSelfClosing", nullptr, nullptr, &ops, &driver};
    ASSERT_EQ(tarvex_device_create(&desc, &driver.id), 0u);
    driver.handle = openDevice("\\\\.\\KQ-PlatformSelfClosing");
    ASSERT_NE(driver.handle, INVALID_HANDLE_VALUE);
    DWORD returned;
    EXPECT_TRUE(DeviceIoControl(driver.handle, 1, nullptr, 0, nullptr, 0, &returned, nullptr));
    EXPECT_FALSE(driver.releasedDuringCall);
    EXPECT_EQ(driver.releases.load(), 1);
    EXPECT_FALSE(CloseHandle(driver.handle));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST(PlatformDeviceCreate, RefusesBadDescriptorsWith87) {
    RecordingDriver driver;
    struct BadCase {
        const char* what;
        tarvex_device_desc desc;
    };
    const BadCase cases[] = {
        {"no ops", {"\\\\.\\KQ-Bad", nullptr, nullptr, nullptr, &driver}},
        {"no name at all", {nullptr, nullptr, nullptr, &kRecordingOps, &driver}},
        {"empty name", {"", nullptr, nullptr, &kRecordingOps, &driver}},
        {"class without path", {nullptr, kTestClass, nullptr, &kRecordingOps, &driver}},
        {"path without class", {nullptr, nullptr, kTestPath, &kRecordingOps, &driver}},
        {"empty path", {nullptr, kTestClass, "", &kRecordingOps, &driver}},
        {"class without braces",
         {nullptr, "0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0", kTestPath, &kRecordingOps, &driver}},
        {"class with a bad digit",
         {nullptr, "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1FG}", kTestPath, &kRecordingOps, &driver}},
        {"class misplaced dash",
         {nullptr, "{0F1E2D3C4-B5A-6978-8796-A5B4C3D2E1F0}", kTestPath, &kRecordingOps, &driver}},
    };
    for (const BadCase& bad : cases) {
        uint32_t id = 12345;
        EXPECT_EQ(tarvex_device_create(&bad.desc, &id), TARVEX_DEVICE_ERROR_INVALID_PARAMETER) << bad.what;
        EXPECT_EQ(id, 12345u) << bad.what;
    }
    uint32_t id = 0;
    EXPECT_EQ(tarvex_device_create(nullptr, &id), TARVEX_DEVICE_ERROR_INVALID_PARAMETER);
    tarvex_device_desc good{"\\\\.\\KQ-Good", nullptr, nullptr, &kRecordingOps, &driver};
    EXPECT_EQ(tarvex_device_create(&good, nullptr), TARVEX_DEVICE_ERROR_INVALID_PARAMETER);
    EXPECT_EQ(driver.releases.load(), 0);
}

TEST(PlatformDeviceCreate, NameOrPathTakenGives183UntilRemoved) {
    RecordingDriver driver;
    uint32_t first = 0, second = 0;
    tarvex_device_desc desc{"\\\\.\\KQ-Taken", kTestClass, kTestPath, &kRecordingOps, &driver};
    ASSERT_EQ(tarvex_device_create(&desc, &first), 0u);
    tarvex_device_desc sameName{"\\\\.\\kq-taken", nullptr, nullptr, &kRecordingOps, &driver};
    std::string pathOtherCase = upper(kTestPath);
    tarvex_device_desc samePath{nullptr, kTestClass, pathOtherCase.c_str(), &kRecordingOps, &driver};
    EXPECT_EQ(tarvex_device_create(&sameName, &second), 183u);
    EXPECT_EQ(tarvex_device_create(&samePath, &second), 183u);
    EXPECT_EQ(tarvex_device_remove(first), 0u);
    ASSERT_EQ(tarvex_device_create(&sameName, &second), 0u);
    EXPECT_NE(second, first);  // ids are not reused
    EXPECT_EQ(tarvex_device_remove(second), 0u);
    EXPECT_EQ(tarvex_device_remove(0), TARVEX_DEVICE_ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(driver.releases.load(), 2);
}

TEST(PlatformDeviceConcurrency, CallsOpensAndRemovalRaceWithoutLosingTheRelease) {
    for (int round = 0; round < 20; ++round) {
        RecordingDriver driver;
        uint32_t id = 0;
        tarvex_device_desc desc{"\\\\.\\KQ-PlatformRace", nullptr, nullptr, &kRecordingOps, &driver};
        ASSERT_EQ(tarvex_device_create(&desc, &id), 0u);
        std::atomic<bool> go{false};
        std::vector<std::thread> callers;
        for (int t = 0; t < 3; ++t) {
            callers.emplace_back([&] {
                while (!go.load()) std::this_thread::yield();
                for (int i = 0; i < 50; ++i) {
                    HANDLE handle = openDevice("\\\\.\\KQ-PlatformRace");
                    if (handle == INVALID_HANDLE_VALUE) {
                        EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
                        continue;
                    }
                    uint8_t byte = 1;
                    DWORD returned;
                    if (!DeviceIoControl(handle, 20, &byte, 1, &byte, 1, &returned, nullptr)) {
                        EXPECT_EQ(GetLastError(), TARVEX_DEVICE_ERROR_ACCESS_DENIED);
                    }
                    EXPECT_TRUE(CloseHandle(handle));
                }
            });
        }
        go.store(true);
        std::this_thread::yield();
        EXPECT_EQ(tarvex_device_remove(id), 0u);
        for (std::thread& caller : callers) caller.join();
        EXPECT_EQ(driver.releases.load(), 1);
    }
}

}  // namespace
