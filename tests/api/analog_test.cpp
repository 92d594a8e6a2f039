// ADC, gain and exposure controls: the selector tables and the field writes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/sim_fixture.h"

namespace {

using tarvex_test::SimCameraTest;
using Lines = std::vector<std::string>;

using Control = ApiStatus(TARVEX_CALL*)(CameraHandle, uint32_t, int32_t);

class AnalogTest : public SimCameraTest {
protected:
    void SetUp() override {
        SimCameraTest::SetUp();
        camera_ = attach("UA");
        handle_ = open(camera_);
    }

    int32_t camera_ = 0;
    CameraHandle handle_ = nullptr;
};

// One selector of one control: the register it writes and what the sensor
// receives for `value` from the register's value at open.
struct FieldCase {
    const char* name;
    Control control;
    uint32_t selector;
    int32_t value;
    uint8_t address;
    uint16_t written;
};

class FieldSelectorTest : public AnalogTest, public ::testing::WithParamInterface<FieldCase> {};

TEST_P(FieldSelectorTest, WritesTheFieldOfItsRegister) {
    const FieldCase& c = GetParam();
    EXPECT_EQ(0, c.control(handle_, c.selector, c.value));
    char line[64];
    std::snprintf(line, sizeof line, "to B0 v=3 i=0 [%02X %02X %02X]", c.address, c.written >> 8,
                  c.written & 0xFF);
    EXPECT_EQ(Lines{line}, trafficWithoutPolls(camera_));
    EXPECT_EQ(c.written, sensorRegister(camera_, c.address));
}

INSTANTIATE_TEST_SUITE_P(
    Tables, FieldSelectorTest,
    ::testing::Values(
        // ADC flag: one bit of 0x62 (0x8498 at open).
        FieldCase{"AdcFlag", TarvexADCControl, 1, 1, 0x62, 0x8499},
        // A value wider than the field spills over into the bits beside it.
        FieldCase{"AdcFlagSpills", TarvexADCControl, 1, 2, 0x62, 0x849A},
        // Channel levels: 9 bits each, in the order 0x63, 0x60, 0x61, 0x64.
        FieldCase{"AdcLevel0", TarvexADCControl, 16, 0x1FF, 0x63, 0x01FF},
        FieldCase{"AdcLevel1", TarvexADCControl, 17, 0x123, 0x60, 0x0123},
        FieldCase{"AdcLevel2", TarvexADCControl, 18, 0x0AB, 0x61, 0x00AB},
        FieldCase{"AdcLevel3", TarvexADCControl, 19, 0x100, 0x64, 0x0100},
        FieldCase{"AdcLowByteOnly", TarvexADCControl, 0x110, 5, 0x63, 0x0005},
        // Channel gains: 7 bits each of 0x08 at open, in the order 0x2D, 0x2B, 0x2E, 0x2C.
        FieldCase{"Gain0", TarvexAGCControl, 16, 20, 0x2D, 0x0014},
        FieldCase{"Gain1", TarvexAGCControl, 17, 20, 0x2B, 0x0014},
        FieldCase{"Gain2", TarvexAGCControl, 18, 127, 0x2E, 0x007F},
        FieldCase{"Gain3", TarvexAGCControl, 19, 1, 0x2C, 0x0001},
        FieldCase{"GainLowByteOnly", TarvexAGCControl, 0xFF10, 3, 0x2D, 0x0003},
        // Exposure: 14 bits of 0x09 (0x0419 at open); exposure delay: 11 bits of 0x0C.
        FieldCase{"Exposure", TarvexAECControl, 1, 946, 0x09, 946},
        FieldCase{"ExposureDelay", TarvexAECControl, 2, 0x7FF, 0x0C, 0x07FF},
        FieldCase{"ExposureLowByteOnly", TarvexAECControl, 0x201, 1049, 0x09, 1049}),
    [](const auto& info) { return std::string(info.param.name); });

// The bits beside a field come from the shadow, not from the value.
TEST_F(AnalogTest, BitsOutsideTheFieldAreKeptFromTheShadow) {
    const uint16_t exposureWithHighBits = 0xC419;
    ASSERT_EQ(0, TarvexI2CWrite(handle_, 0x09, &exposureWithHighBits, 1));
    const uint16_t gainWithHighBits = 0xAB08;
    ASSERT_EQ(0, TarvexI2CWrite(handle_, 0x2B, &gainWithHighBits, 1));
    clearLog(camera_);
    EXPECT_EQ(0, TarvexAECControl(handle_, 1, 946));
    EXPECT_EQ(0, TarvexAGCControl(handle_, 17, 20));
    EXPECT_EQ((Lines{"to B0 v=3 i=0 [09 C3 B2]", "to B0 v=3 i=0 [2B AB 14]"}), trafficWithoutPolls(camera_));
}

TEST_F(AnalogTest, AdcModeSendsTheLowByteToTheController) {
    EXPECT_EQ(0, TarvexADCControl(handle_, 0, 0x102));
    EXPECT_EQ(0, TarvexADCControl(handle_, 0x100, 0x1FF));
    EXPECT_EQ((Lines{"to B5 v=2 i=0 [02]", "to B5 v=255 i=0 [FF]"}), traffic(camera_));
}

TEST_F(AnalogTest, AFailedOrShortAdcModeRequestFails) {
    fail(camera_, 9, 0xB5);
    EXPECT_EQ(ERR_REQUEST_FAILED, TarvexADCControl(handle_, 0, 3));
    shortCount(camera_, 9, 0xB5);
    EXPECT_EQ(ERR_REQUEST_FAILED, TarvexADCControl(handle_, 0, 3));
    EXPECT_EQ(2u, traffic(camera_).size());
}

TEST_F(AnalogTest, SelectorZeroOfGainAndExposureIsAcceptedAndSendsNothing) {
    EXPECT_EQ(0, TarvexAGCControl(handle_, 0, 99));
    EXPECT_EQ(0, TarvexAECControl(handle_, 0, 99));
    EXPECT_EQ(0, TarvexAGCControl(handle_, 0x300, 99));
    EXPECT_TRUE(traffic(camera_).empty());
}

struct RefusedSelector {
    Control control;
    uint32_t selector;
};

class RefusedSelectorTest : public AnalogTest, public ::testing::WithParamInterface<RefusedSelector> {};

TEST_P(RefusedSelectorTest, IsRefusedWithNothingSent) {
    EXPECT_EQ(ERR_BAD_SELECTOR, GetParam().control(handle_, GetParam().selector, 1));
    // The lock comes first: a bad handle wins over a bad selector.
    EXPECT_EQ(ERR_INVALID_HANDLE, GetParam().control(nullptr, GetParam().selector, 1));
    EXPECT_TRUE(traffic(camera_).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Tables, RefusedSelectorTest,
    ::testing::Values(RefusedSelector{TarvexADCControl, 2}, RefusedSelector{TarvexADCControl, 15},
                      RefusedSelector{TarvexADCControl, 20}, RefusedSelector{TarvexADCControl, 255},
                      RefusedSelector{TarvexAGCControl, 1}, RefusedSelector{TarvexAGCControl, 15},
                      RefusedSelector{TarvexAGCControl, 20}, RefusedSelector{TarvexAGCControl, 0x114},
                      RefusedSelector{TarvexAECControl, 3}, RefusedSelector{TarvexAECControl, 16},
                      RefusedSelector{TarvexAECControl, 0x103}));

TEST_F(AnalogTest, AFieldWriteFailureIsReturned) {
    fail(camera_, 9, 0xB0);
    EXPECT_EQ(ERR_REQUEST_FAILED, TarvexAGCControl(handle_, 16, 20));
    EXPECT_EQ(Lines{"to B0 v=3 i=0 [2D 00 14] !31"}, trafficWithoutPolls(camera_));
    EXPECT_EQ(0x0008, sensorRegister(camera_, 0x2D));
}

TEST_F(AnalogTest, ABusyTimeoutOfAFieldWriteIsReturned) {
    TARVEX_REQUIRE_VIRTUAL_CLOCK();
    ASSERT_EQ(0, tarvex_sim_set(camera_, TARVEX_SIM_PROP_BUSY_READS_BIT0, -1));
    EXPECT_EQ(ERR_BUSY_TIMEOUT, TarvexAECControl(handle_, 1, 500));
}

}  // namespace
