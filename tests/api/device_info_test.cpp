// Identity and capability records, the slot record and the small controller
// operations, seen from the simulated camera's log.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/sim_fixture.h"

namespace {

using tarvex_test::SimCameraTest;
using Lines = std::vector<std::string>;

class DeviceInfoTest : public SimCameraTest {
protected:
    void SetUp() override {
        SimCameraTest::SetUp();
        camera_ = attach("UA:model=TVX1280M-0042XYZ");
        handle_ = open(camera_);
        ASSERT_NE(nullptr, handle_);
    }

    // Writes a string descriptor's characters as UTF-16LE code units.
    void setString(int32_t memory, const std::u16string& text) {
        std::vector<uint8_t> units;
        for (char16_t unit : text) {
            units.push_back(static_cast<uint8_t>(unit & 0xFF));
            units.push_back(static_cast<uint8_t>(unit >> 8));
        }
        ASSERT_EQ(
            static_cast<int32_t>(units.size()),
            tarvex_sim_write_memory(camera_, memory, 0, units.data(), static_cast<uint32_t>(units.size())));
    }

    int32_t camera_ = 0;
    CameraHandle handle_ = nullptr;
};

// ---- TarvexGetDeviceInfo: size negotiation ----------------------------------

struct RecordSize {
    uint32_t type;
    int32_t size;
};

const RecordSize RecordSizes[] = {
    {TARVEX_INFO_IDENTIFICATION, 2}, {TARVEX_INFO_MODEL, 12},  {TARVEX_INFO_CONSTANT_ONE, 1},
    {TARVEX_INFO_SENSOR_ID, 2},      {TARVEX_INFO_RELEASE, 2}, {TARVEX_INFO_RESOLUTIONS, 24},
    {TARVEX_INFO_DELAY_RANGE, 16},
};

class RecordSizeTest : public DeviceInfoTest, public ::testing::WithParamInterface<RecordSize> {};

TEST_P(RecordSizeTest, NullBufferLearnsTheSizeWithoutTraffic) {
    int32_t size = 12345;
    EXPECT_EQ(0, TarvexGetDeviceInfo(handle_, GetParam().type, nullptr, &size));
    EXPECT_EQ(GetParam().size, size);
    EXPECT_EQ(traffic(camera_), Lines{});
}

TEST_P(RecordSizeTest, WrongSizeLearnsTheSizeAndLeavesTheBufferAlone) {
    for (int32_t wrong : {0, GetParam().size - 1, GetParam().size + 1, 100, -1}) {
        uint8_t buffer[128];
        std::memset(buffer, 0xAA, sizeof buffer);
        int32_t size = wrong;
        EXPECT_EQ(0, TarvexGetDeviceInfo(handle_, GetParam().type, buffer, &size)) << wrong;
        EXPECT_EQ(GetParam().size, size) << wrong;
        for (uint8_t byte : buffer) ASSERT_EQ(0xAA, byte) << wrong;
    }
    EXPECT_EQ(traffic(camera_), Lines{});
}

TEST_P(RecordSizeTest, RightSizeDeliversExactlyTheRecordAndKeepsTheSize) {
    uint8_t buffer[128];
    std::memset(buffer, 0xAA, sizeof buffer);
    int32_t size = GetParam().size;
    EXPECT_EQ(0, TarvexGetDeviceInfo(handle_, GetParam().type, buffer, &size));
    EXPECT_EQ(GetParam().size, size);
    // Nothing beyond the record is written: the identity strings are not terminated.
    for (size_t i = static_cast<size_t>(GetParam().size); i < sizeof buffer; ++i) {
        ASSERT_EQ(0xAA, buffer[i]) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(EveryRecord, RecordSizeTest, ::testing::ValuesIn(RecordSizes),
                         [](const auto& info) { return "Type" + std::to_string(info.param.type); });

// ---- TarvexGetDeviceInfo: each record's bytes --------------------------------

TEST_F(DeviceInfoTest, IdentificationIsTheFirstTwoCharactersOfString1) {
    char text[2] = {};
    int32_t size = 2;
    EXPECT_EQ(0, TarvexGetDeviceInfo(handle_, TARVEX_INFO_IDENTIFICATION, text, &size));
    EXPECT_EQ(std::string(text, 2), "UA");
    EXPECT_EQ(traffic(camera_), Lines{"code 80 [01 00 1B 00] n=6"});
}

TEST_F(DeviceInfoTest, ModelIsTheFirstTwelveCharactersOfString2) {
    char text[12] = {};
    int32_t size = 12;
    EXPECT_EQ(0, TarvexGetDeviceInfo(handle_, TARVEX_INFO_MODEL, text, &size));
    EXPECT_EQ(std::string(text, 12), "TVX1280M-004");
    EXPECT_EQ(traffic(camera_), Lines{"code 80 [02 00 1B 00] n=26"});
}

TEST_F(DeviceInfoTest, CharactersKeepOnlyTheLowByteOfEachCodeUnit) {
    setString(TARVEX_SIM_MEM_STRING2, u"\u0154\u0156X-\u00e9bcdefghijk");
    char text[12] = {};
    int32_t size = 12;
    EXPECT_EQ(0, TarvexGetDeviceInfo(handle_, TARVEX_INFO_MODEL, text, &size));
    EXPECT_EQ(std::string(text, 12),
              "TVX-\xE9"
              "bcdefgh");
}

TEST_F(DeviceInfoTest, ShortModelStringIsADriverErrorAndWritesNothing) {
    setString(TARVEX_SIM_MEM_STRING2, u"SHORT");
    char text[12];
    std::memset(text, '#', sizeof text);
    int32_t size = 12;
    EXPECT_EQ(ERR_DRIVER_CALL, TarvexGetDeviceInfo(handle_, TARVEX_INFO_MODEL, text, &size));
    EXPECT_EQ(12, size);
    for (char c : text) EXPECT_EQ('#', c);
}

TEST_F(DeviceInfoTest, FailedDescriptorReadIsADriverErrorAndWritesNothing) {
    fail(camera_, 80);
    char text[2] = {'#', '#'};
    int32_t size = 2;
    EXPECT_EQ(ERR_DRIVER_CALL, TarvexGetDeviceInfo(handle_, TARVEX_INFO_IDENTIFICATION, text, &size));
    EXPECT_EQ('#', text[0]);
    EXPECT_EQ('#', text[1]);
}

TEST_F(DeviceInfoTest, ConstantOneIsTheByteOneWithoutTraffic) {
    uint8_t byte = 0;
    int32_t size = 1;
    EXPECT_EQ(0, TarvexGetDeviceInfo(handle_, TARVEX_INFO_CONSTANT_ONE, &byte, &size));
    EXPECT_EQ(1, byte);
    EXPECT_EQ(traffic(camera_), Lines{});
}

TEST_F(DeviceInfoTest, SensorIdIsReadFromRegister0AtEachCall) {
    const uint16_t id = 0x1234;
    tarvex_sim_write_memory(camera_, TARVEX_SIM_MEM_SENSOR, 0, &id, 2);
    uint8_t buffer[3] = {0, 0, 0xAA};  // odd offset: the record need not be aligned
    int32_t size = 2;
    EXPECT_EQ(0, TarvexGetDeviceInfo(handle_, TARVEX_INFO_SENSOR_ID, buffer + 1, &size));
    uint16_t delivered = 0;
    std::memcpy(&delivered, buffer + 1, 2);
    EXPECT_EQ(0x1234, delivered);
    EXPECT_EQ(trafficWithoutPolls(camera_), (Lines{"to B0 v=1 i=0 [00]", "from B1 v=2 i=0 n=2"}));
}

TEST_F(DeviceInfoTest, FailedSensorReadIsReported) {
    fail(camera_, 6, 0xB1);
    uint16_t id = 0;
    int32_t size = 2;
    EXPECT_EQ(ERR_REQUEST_FAILED, TarvexGetDeviceInfo(handle_, TARVEX_INFO_SENSOR_ID, &id, &size));
}

TEST_F(DeviceInfoTest, ReleaseIsTheStoredBcdDeviceWithoutTraffic) {
    // A second camera with its own release number, read at open.
    int32_t other = attach("UA");
    const uint8_t release[2] = {0x34, 0x12};
    tarvex_sim_write_memory(other, TARVEX_SIM_MEM_DEVICE_DESCRIPTOR, 12, release, 2);
    CameraHandle handle = open(other, 2);
    // A later change in the camera is not seen: the descriptor of the open counts.
    const uint8_t changed[2] = {0x99, 0x99};
    tarvex_sim_write_memory(other, TARVEX_SIM_MEM_DEVICE_DESCRIPTOR, 12, changed, 2);
    uint16_t value = 0;
    int32_t size = 2;
    EXPECT_EQ(0, TarvexGetDeviceInfo(handle, TARVEX_INFO_RELEASE, &value, &size));
    EXPECT_EQ(0x1234, value);
    EXPECT_EQ(traffic(other), Lines{});
}

TEST_F(DeviceInfoTest, ReleaseIsZeroWhenTheDescriptorReadFailedAtOpen) {
    int32_t other = attach("UA");
    fail(other, 68);
    CameraHandle handle = open(other, 2);
    uint16_t value = 0xFFFF;
    int32_t size = 2;
    EXPECT_EQ(0, TarvexGetDeviceInfo(handle, TARVEX_INFO_RELEASE, &value, &size));
    EXPECT_EQ(0, value);
}

TEST_F(DeviceInfoTest, ResolutionListAndDelayRangeAreConstants) {
    int32_t resolutions[6] = {};
    int32_t size = 24;
    EXPECT_EQ(0, TarvexGetDeviceInfo(handle_, TARVEX_INFO_RESOLUTIONS, resolutions, &size));
    EXPECT_EQ(std::vector<int32_t>(resolutions, resolutions + 6),
              (std::vector<int32_t>{1280, 1024, 640, 512, 320, 256}));
    int32_t range[4] = {};
    size = 16;
    EXPECT_EQ(0, TarvexGetDeviceInfo(handle_, TARVEX_INFO_DELAY_RANGE, range, &size));
    EXPECT_EQ(std::vector<int32_t>(range, range + 4), (std::vector<int32_t>{-9, -25, 2038, 2022}));
    EXPECT_EQ(traffic(camera_), Lines{});
}

// ---- TarvexGetDeviceInfo: refusals -------------------------------------------

TEST_F(DeviceInfoTest, UnrecognisedTypesAreComparedWhole) {
    // 0x110 is not 16, 0x102 is not 2: the whole 32-bit value counts.
    for (uint32_t type : {5u, 17u, 19u, 0x100u, 0x102u, 0x110u, 0x112u, 0x80000000u, 0xFFFFFFFFu}) {
        uint8_t buffer[32];
        std::memset(buffer, 0xAA, sizeof buffer);
        int32_t size = 24;
        EXPECT_EQ(ERR_BAD_SELECTOR, TarvexGetDeviceInfo(handle_, type, buffer, &size)) << type;
        EXPECT_EQ(0, size) << type;
        for (uint8_t byte : buffer) ASSERT_EQ(0xAA, byte) << type;
        size = 7;
        EXPECT_EQ(ERR_BAD_SELECTOR, TarvexGetDeviceInfo(handle_, type, nullptr, &size)) << type;
        EXPECT_EQ(0, size) << type;
    }
    EXPECT_EQ(traffic(camera_), Lines{});
}

TEST_F(DeviceInfoTest, NullSizeIsRefusedWithoutTraffic) {
    uint8_t buffer[12];
    for (uint32_t type : {0u, 1u, 3u, 16u, 99u}) {
        EXPECT_EQ(ERR_OUT_OF_RANGE, TarvexGetDeviceInfo(handle_, type, buffer, nullptr)) << type;
        EXPECT_EQ(ERR_OUT_OF_RANGE, TarvexGetDeviceInfo(handle_, type, nullptr, nullptr)) << type;
    }
    EXPECT_EQ(traffic(camera_), Lines{});
}

// ---- TarvexGetSlotInfo -------------------------------------------------------

TEST_F(DeviceInfoTest, SlotRecordIsHandedOverUnchanged) {
    const uint8_t record[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    ASSERT_EQ(12, tarvex_sim_write_memory(camera_, TARVEX_SIM_MEM_SLOT, 0, record, 12));
    uint8_t buffer[16];
    std::memset(buffer, 0xAA, sizeof buffer);
    EXPECT_EQ(0, TarvexGetSlotInfo(handle_, buffer));
    EXPECT_EQ(0, std::memcmp(record, buffer, 12));
    EXPECT_EQ(0xAA, buffer[12]);
    EXPECT_EQ(traffic(camera_), Lines{"code 448 n=12"});
}

TEST_F(DeviceInfoTest, FailedSlotQueryReturnsTheSystemErrorCode) {
    tarvex_sim_fault fault{};
    fault.kind = TARVEX_SIM_FAULT_FAIL;
    fault.code = 448;
    fault.request = TARVEX_SIM_ANY;
    fault.nth = 1;
    fault.count = 1;
    fault.error = 1167;
    ASSERT_EQ(0, tarvex_sim_add_fault(camera_, &fault));
    uint8_t buffer[12];
    EXPECT_EQ(1167, TarvexGetSlotInfo(handle_, buffer));
    fail(camera_, 448);
    EXPECT_EQ(31, TarvexGetSlotInfo(handle_, buffer));
}

TEST_F(DeviceInfoTest, ShortSlotRecordIsADriverError) {
    shortCount(camera_, 448);
    uint8_t buffer[12];
    EXPECT_EQ(ERR_DRIVER_CALL, TarvexGetSlotInfo(handle_, buffer));
}

TEST_F(DeviceInfoTest, SlotQueryWithoutBufferIsRefusedWithoutTraffic) {
    EXPECT_EQ(ERR_OUT_OF_RANGE, TarvexGetSlotInfo(handle_, nullptr));
    EXPECT_EQ(traffic(camera_), Lines{});
}

// ---- TarvexDeviceControl -----------------------------------------------------

struct ControlCase {
    const char* name;
    uint32_t type;
    int32_t sizeBefore;
    ApiStatus result;
    int32_t sizeAfter;
    Lines traffic;
};

const ControlCase ControlCases[] = {
    {"ConstantOne", 0, 7, 0, 1, {}},
    {"ControllerByte", 1, 7, 0, 1, {"from BE v=1 i=0 n=1"}},
    {"ControllerBlockOfSize", 2, 8, 0, 8, {"from BE v=8 i=1 n=8"}},
    {"EmptyControllerBlock", 2, 0, 0, 0, {"from BE v=0 i=1 n=0"}},
    {"StatusByte", 3, 7, 0, 1, {"from C1 v=1 i=0 n=1"}},
    {"CommandByte", 4, 7, 0, 7, {"to C0 v=0 i=0 [00]"}},
    {"Type5", 5, 7, ERR_BAD_SELECTOR, 0, {}},
    {"Type0x100", 0x100, 7, ERR_BAD_SELECTOR, 0, {}},
    {"Type0x101", 0x101, 7, ERR_BAD_SELECTOR, 0, {}},
    {"Type0x104", 0x104, 7, ERR_BAD_SELECTOR, 0, {}},
    {"NegativeBlockSize", 2, -1, ERR_OUT_OF_RANGE, -1, {}},
};

class DeviceControlTest : public DeviceInfoTest, public ::testing::WithParamInterface<ControlCase> {};

TEST_P(DeviceControlTest, SendsItsRequestAndSetsTheSize) {
    const ControlCase& c = GetParam();
    uint8_t buffer[16];
    std::memset(buffer, 0xAA, sizeof buffer);
    int32_t size = c.sizeBefore;
    EXPECT_EQ(c.result, TarvexDeviceControl(handle_, c.type, buffer, &size));
    EXPECT_EQ(c.sizeAfter, size);
    EXPECT_EQ(traffic(camera_), c.traffic);
}

INSTANTIATE_TEST_SUITE_P(EveryType, DeviceControlTest, ::testing::ValuesIn(ControlCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DeviceInfoTest, ConstantOneWritesTheByteOne) {
    uint8_t byte = 0;
    int32_t size = 0;
    EXPECT_EQ(0, TarvexDeviceControl(handle_, 0, &byte, &size));
    EXPECT_EQ(1, byte);
}

TEST_F(DeviceInfoTest, CommandByteLeavesTheBufferAlone) {
    uint8_t byte = 0xAA;
    int32_t size = 7;
    EXPECT_EQ(0, TarvexDeviceControl(handle_, 4, &byte, &size));
    EXPECT_EQ(0xAA, byte);
    // It uses neither pointer, so it needs neither.
    EXPECT_EQ(0, TarvexDeviceControl(handle_, 4, nullptr, nullptr));
}

TEST_F(DeviceInfoTest, OneByteReadsSetTheSizeEvenWhenTheyFail) {
    for (uint32_t type : {1u, 3u}) {
        fail(camera_, 6);
        uint8_t byte = 0;
        int32_t size = 9;
        EXPECT_EQ(ERR_REQUEST_FAILED, TarvexDeviceControl(handle_, type, &byte, &size)) << type;
        EXPECT_EQ(1, size) << type;
    }
}

TEST_F(DeviceInfoTest, ShortBlockReadFailsAndKeepsTheSize) {
    shortCount(camera_, 6, 0xBE);
    uint8_t buffer[8];
    int32_t size = 8;
    EXPECT_EQ(ERR_REQUEST_FAILED, TarvexDeviceControl(handle_, 2, buffer, &size));
    EXPECT_EQ(8, size);
}

TEST_F(DeviceInfoTest, DeviceControlNullPointersAreRefusedWithoutTraffic) {
    uint8_t byte = 0;
    int32_t size = 1;
    for (uint32_t type : {0u, 1u, 2u, 3u, 5u}) {
        EXPECT_EQ(ERR_OUT_OF_RANGE, TarvexDeviceControl(handle_, type, &byte, nullptr)) << type;
    }
    for (uint32_t type : {0u, 1u, 2u, 3u}) {
        size = 1;
        EXPECT_EQ(ERR_OUT_OF_RANGE, TarvexDeviceControl(handle_, type, nullptr, &size)) << type;
        EXPECT_EQ(1, size) << type;
    }
    EXPECT_EQ(traffic(camera_), Lines{});
    // An empty block needs no buffer.
    size = 0;
    EXPECT_EQ(0, TarvexDeviceControl(handle_, 2, nullptr, &size));
}

// ---- Handles -------------------------------------------------------------------

TEST_F(DeviceInfoTest, InvalidHandlesTouchNothing) {
    CameraHandle closed = open(attach("S4"), 2);
    ASSERT_EQ(0, close(closed));
    uint8_t buffer[32];
    for (CameraHandle handle : {CameraHandle{nullptr}, closed, CameraHandle{buffer}}) {
        int32_t size = 5;
        EXPECT_EQ(ERR_INVALID_HANDLE, TarvexGetDeviceInfo(handle, 16, buffer, &size));
        EXPECT_EQ(ERR_INVALID_HANDLE, TarvexGetDeviceInfo(handle, 99, nullptr, &size));
        EXPECT_EQ(ERR_INVALID_HANDLE, TarvexDeviceControl(handle, 0, buffer, &size));
        EXPECT_EQ(ERR_INVALID_HANDLE, TarvexDeviceControl(handle, 99, buffer, &size));
        EXPECT_EQ(5, size);
        EXPECT_EQ(ERR_INVALID_HANDLE, TarvexGetSlotInfo(handle, buffer));
    }
    EXPECT_EQ(traffic(camera_), Lines{});
}

}  // namespace
