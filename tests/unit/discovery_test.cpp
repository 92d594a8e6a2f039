// Choosing the naming scheme, counting cameras and opening the n-th one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "discovery/camera_detection.h"
#include "discovery/interface_devices.h"
#include "platform/win32.h"
#include "support/sim_fixture.h"
#include "tarvex_device.h"

namespace tarvex {
namespace {

using tarvex_test::SimCameraTest;

class DiscoveryTest : public SimCameraTest {
protected:
    void TearDown() override {
        tarvex_system_set_setupapi(TARVEX_SETUPAPI_PRESENT);
        tarvex_system_set_version(CURRENT_NT);
        detectCameras();
        SimCameraTest::TearDown();
    }
    static constexpr uint32_t CURRENT_NT = 0x23F00206;
};

struct VersionCase {
    uint32_t version;
    int32_t legacy;
    const char* system;
};

class NamingScheme : public DiscoveryTest, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(NamingScheme, IsChosenFromTheSystemVersion) {
    tarvex_system_set_version(GetParam().version);
    detectCameras();
    EXPECT_EQ(GetParam().legacy, useLegacyNaming) << GetParam().system;
}

INSTANTIATE_TEST_SUITE_P(Systems, NamingScheme,
                         ::testing::Values(VersionCase{0x05650004, 1, "Windows NT 4.0"},
                                           VersionCase{0xC3B60004, 0, "Windows 95 family, major version 4"},
                                           VersionCase{0x08930005, 0, "Windows 2000"},
                                           VersionCase{0x1DB10106, 0, "Windows 7"},
                                           VersionCase{0x23F00206, 0, "current NT"}));

TEST_F(DiscoveryTest, NoCameraCountsZeroInBothSchemes) {
    for (uint32_t version : {0x05650004u, CURRENT_NT}) {
        tarvex_system_set_version(version);
        detectCameras();
        EXPECT_EQ(0, deviceCount);
        EXPECT_EQ(0, TarvexGetDeviceNumber());
    }
}

TEST_F(DiscoveryTest, LegacyCountStopsAtTheFirstMissingNumber) {
    attach("UA:number=1");
    int32_t third = attach("UA:number=3");
    tarvex_system_set_version(0x05650004);
    detectCameras();
    EXPECT_EQ(1, deviceCount);
    CameraHandle handle = nullptr;
    EXPECT_EQ(ERR_NO_DEVICE, BeginTarvex(3, &handle));
    EXPECT_TRUE(traffic(third).empty());
}

TEST_F(DiscoveryTest, LegacyOpenUsesTheNumberedName) {
    attach("UA:number=1");
    int32_t second = attach("UA:number=2");
    tarvex_system_set_version(0x05650004);
    detectCameras();
    ASSERT_EQ(2, deviceCount);
    clearLog(second);
    HANDLE device = openCameraDevice(2);
    ASSERT_NE(INVALID_HANDLE_VALUE, device);
    CloseHandle(device);
    EXPECT_EQ(traffic(second), (std::vector<std::string>{"open ", "close"}));
}

TEST_F(DiscoveryTest, InterfaceOpenTakesMemberNMinusOneWithSuffixZero) {
    int32_t first = attach("UA");
    int32_t second = attach("S4");
    ASSERT_EQ(2, deviceCount);
    clearLog(first);
    clearLog(second);
    HANDLE device = openCameraDevice(2);
    ASSERT_NE(INVALID_HANDLE_VALUE, device);
    CloseHandle(device);
    EXPECT_TRUE(traffic(first).empty());
    EXPECT_EQ(traffic(second), (std::vector<std::string>{"open \\0", "close"}));
    EXPECT_EQ('0', devicePath[std::string(devicePath).size() - 1]);
    EXPECT_EQ('\\', devicePath[std::string(devicePath).size() - 2]);
}

TEST_F(DiscoveryTest, MissingSetupLibraryCountsZeroAndOpensNothingSilently) {
    attach("UA");
    for (int state : {TARVEX_SETUPAPI_MISSING, TARVEX_SETUPAPI_NO_ENUM, TARVEX_SETUPAPI_NO_DETAIL}) {
        tarvex_system_set_setupapi(state);
        testing::internal::CaptureStdout();
        if (state != TARVEX_SETUPAPI_NO_DETAIL) {
            EXPECT_EQ(0, TarvexGetDeviceNumber()) << state;
        }
        EXPECT_EQ(INVALID_HANDLE_VALUE, openCameraDevice(1)) << state;
        EXPECT_EQ("", testing::internal::GetCapturedStdout()) << state;
    }
}

TEST_F(DiscoveryTest, CameraRemovedBetweenCountAndOpenFailsWithoutMessage) {
    int32_t camera = attach("UA");
    ASSERT_EQ(1, deviceCount);
    tarvex_sim_detach(camera);
    testing::internal::CaptureStdout();
    CameraHandle handle = nullptr;
    EXPECT_EQ(ERR_INVALID_HANDLE, BeginTarvex(1, &handle));
    EXPECT_EQ(nullptr, handle);
    EXPECT_EQ("", testing::internal::GetCapturedStdout());
}

// A driver of our own whose device can refuse its opens.
struct RefusingDriver {
    static uint32_t open(void* driver, const char*, void**) {
        return static_cast<RefusingDriver*>(driver)->refuse ? TARVEX_DEVICE_ERROR_ACCESS_DENIED : 0;
    }
    static uint32_t control(void*, void*, uint32_t, const void*, uint32_t, void*, uint32_t, uint32_t* bytes) {
        *bytes = 0;
        return 0;
    }
    bool refuse = true;
};

const tarvex_device_ops REFUSING_OPS = {RefusingDriver::open, nullptr, RefusingDriver::control, nullptr};

uint32_t createInterfaceDevice(RefusingDriver& driver, const std::string& path) {
    tarvex_device_desc desc{};
    desc.interface_class = "{2217C0A0-97CF-11DE-A807-444553540000}";
    desc.device_path = path.c_str();
    desc.ops = &REFUSING_OPS;
    desc.driver = &driver;
    uint32_t id = 0;
    EXPECT_EQ(0u, tarvex_device_create(&desc, &id));
    return id;
}

TEST_F(DiscoveryTest, FailedInterfaceOpenWritesOneLine) {
    RefusingDriver driver;
    uint32_t id = createInterfaceDevice(driver, "\\\\?\\root#test#0000#{2217c0a0}");
    TarvexGetDeviceNumber();
    testing::internal::CaptureStdout();
    EXPECT_EQ(INVALID_HANDLE_VALUE, openCameraDevice(1));
    EXPECT_EQ("FAILED to open \\\\?\\root#test#0000#{2217c0a0}\\0\n", testing::internal::GetCapturedStdout());
    tarvex_device_remove(id);
}

TEST_F(DiscoveryTest, PathThatDoesNotFitTheBufferIsNotOpened) {
    RefusingDriver driver;
    driver.refuse = false;
    uint32_t fits = createInterfaceDevice(driver, "\\\\?\\" + std::string(256 - 4 - 3, 'a'));
    uint32_t tooLong = createInterfaceDevice(driver, "\\\\?\\" + std::string(256 - 4 - 2, 'b'));
    ASSERT_EQ(2, TarvexGetDeviceNumber());
    HANDLE device = openCameraDevice(1);
    EXPECT_NE(INVALID_HANDLE_VALUE, device);
    CloseHandle(device);
    EXPECT_EQ(INVALID_HANDLE_VALUE, openCameraDevice(2));
    tarvex_device_remove(fits);
    tarvex_device_remove(tooLong);
}

}  // namespace
}  // namespace tarvex
