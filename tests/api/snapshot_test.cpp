// Snapshot mode, the software trigger, polarities and snap speed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/sim_fixture.h"

namespace {

using tarvex_test::SimCameraTest;
using Lines = std::vector<std::string>;

class SnapshotTest : public SimCameraTest {
protected:
    void SetUp() override {
        SimCameraTest::SetUp();
        camera_ = attach("UA");
        handle_ = open(camera_);
    }

    int32_t camera_ = 0;
    CameraHandle handle_ = nullptr;
};

TEST_F(SnapshotTest, TheModeAtOpenIsContinuousAndSettingItSendsNothing) {
    EXPECT_EQ(0, TarvexSetSnapMode(handle_, 0));
    EXPECT_EQ(0, TarvexSetSnapMode(handle_, 0x100));
    EXPECT_TRUE(traffic(camera_).empty());
}

// One switch after another, each from the mode the step before left.
struct ModeSwitch {
    uint32_t mode;
    Lines sent;
};

TEST_F(SnapshotTest, SwitchingModesSetsBitEightAndTellsTheController) {
    const ModeSwitch switches[] = {
        {1, {"to B0 v=3 i=0 [1E 87 00]", "to B7 v=1 i=0 [01]", "to D0 v=0 i=0 [00]"}},
        {1, {}},
        // Only the low byte counts: 0x102 is mode 2.
        {0x102, {"to B0 v=3 i=0 [1E 87 00]", "to B7 v=2 i=0 [02]", "to D0 v=0 i=0 [00]"}},
        {3, {"to B0 v=3 i=0 [1E 87 00]", "to B7 v=3 i=0 [03]", "to D0 v=0 i=0 [00]"}},
        {0, {"to B0 v=3 i=0 [1E 86 00]", "to B7 v=0 i=0 [00]", "to B0 v=3 i=0 [0B 00 01]"}},
        {0, {}},
    };
    for (const ModeSwitch& step : switches) {
        clearLog(camera_);
        EXPECT_EQ(0, TarvexSetSnapMode(handle_, step.mode)) << step.mode;
        EXPECT_EQ(step.sent, trafficWithoutPolls(camera_)) << step.mode;
    }
    EXPECT_EQ(0x8600, sensorRegister(camera_, 0x1E));
    EXPECT_EQ(0x0001, sensorRegister(camera_, 0x0B));
}

TEST_F(SnapshotTest, AModeAboveThreeIsRefusedBeforeTheHandle) {
    for (uint32_t mode : {4u, 0x104u, 0xFFu}) {
        EXPECT_EQ(ERR_OUT_OF_RANGE, TarvexSetSnapMode(handle_, mode));
        EXPECT_EQ(ERR_OUT_OF_RANGE, TarvexSetSnapMode(nullptr, mode));
    }
    EXPECT_EQ(ERR_INVALID_HANDLE, TarvexSetSnapMode(nullptr, 1));
    EXPECT_TRUE(traffic(camera_).empty());
}

// The mode follows the sensor: a failing controller request still records it.
TEST_F(SnapshotTest, AFailedControllerRequestStillRecordsTheMode) {
    fail(camera_, 9, 0xB7);
    EXPECT_EQ(ERR_REQUEST_FAILED, TarvexSetSnapMode(handle_, 2));
    EXPECT_EQ((Lines{"to B0 v=3 i=0 [1E 87 00]", "to B7 v=2 i=0 [02] !31", "to D0 v=0 i=0 [00]"}),
              trafficWithoutPolls(camera_));
    clearLog(camera_);
    EXPECT_EQ(0, TarvexSetSnapMode(handle_, 2));
    EXPECT_TRUE(traffic(camera_).empty());
}

TEST_F(SnapshotTest, AFailedFollowUpDoesNotDecide) {
    fail(camera_, 9, 0xD0);
    EXPECT_EQ(0, TarvexSetSnapMode(handle_, 1));
    clearLog(camera_);
    fail(camera_, 9, 0xB0, 2);  // the trigger bit after the switch back
    EXPECT_EQ(0, TarvexSetSnapMode(handle_, 0));
    EXPECT_EQ((Lines{"to B0 v=3 i=0 [1E 86 00]", "to B7 v=0 i=0 [00]", "to B0 v=3 i=0 [0B 00 01] !31"}),
              trafficWithoutPolls(camera_));
}

// A sensor that refuses the bit leaves the mode as it was, so the same call
// tries again; the shadow already holds the bit, and the next write of
// register 0x1E carries it along.
TEST_F(SnapshotTest, AFailedSensorWriteLeavesTheModeUnchanged) {
    fail(camera_, 9, 0xB0);
    EXPECT_EQ(ERR_REQUEST_FAILED, TarvexSetSnapMode(handle_, 1));
    EXPECT_EQ(Lines{"to B0 v=3 i=0 [1E 87 00] !31"}, trafficWithoutPolls(camera_));

    clearLog(camera_);
    EXPECT_EQ(0, TarvexSetResolution(handle_, 2));
    EXPECT_EQ("to B0 v=3 i=0 [1E 87 0C]", trafficWithoutPolls(camera_).at(1));

    clearLog(camera_);
    EXPECT_EQ(0, TarvexSetSnapMode(handle_, 1));
    EXPECT_EQ((Lines{"to B0 v=3 i=0 [1E 87 0C]", "to B7 v=1 i=0 [01]", "to D0 v=0 i=0 [00]"}),
              trafficWithoutPolls(camera_));
}

TEST_F(SnapshotTest, ABusyTimeoutOfTheSensorWriteIsReturned) {
    TARVEX_REQUIRE_VIRTUAL_CLOCK();
    ASSERT_EQ(0, tarvex_sim_set(camera_, TARVEX_SIM_PROP_BUSY_READS_BIT0, -1));
    EXPECT_EQ(ERR_BUSY_TIMEOUT, TarvexSetSnapMode(handle_, 1));
    Lines sent = trafficWithoutPolls(camera_);
    EXPECT_EQ(Lines{"to B0 v=3 i=0 [1E 87 00]"}, sent);
}

TEST_F(SnapshotTest, TheTriggerSetsBitZeroWhateverTheMode) {
    EXPECT_EQ(0, TarvexTriggerShot(handle_));
    ASSERT_EQ(0, TarvexSetSnapMode(handle_, 1));
    clearLog(camera_);
    EXPECT_EQ(0, TarvexTriggerShot(handle_));
    EXPECT_EQ(Lines{"to B0 v=3 i=0 [0B 00 01]"}, trafficWithoutPolls(camera_));
    EXPECT_EQ(1, sensorRegister(camera_, 0x0B));
}

TEST_F(SnapshotTest, ATriggerWriteFailureIsReturned) {
    fail(camera_, 9, 0xB0);
    EXPECT_EQ(ERR_REQUEST_FAILED, TarvexTriggerShot(handle_));
    EXPECT_EQ(ERR_INVALID_HANDLE, TarvexTriggerShot(nullptr));
}

// ---- One byte to the firmware -------------------------------------------------

using ByteSetting = ApiStatus(TARVEX_CALL*)(CameraHandle, uint32_t);

struct ByteSettingCase {
    const char* name;
    ByteSetting set;
    int32_t request;
};

class ByteSettingTest : public SnapshotTest, public ::testing::WithParamInterface<ByteSettingCase> {};

TEST_P(ByteSettingTest, SendsTheLowByteAsValueAndData) {
    const ByteSettingCase& c = GetParam();
    EXPECT_EQ(0, c.set(handle_, 0x100));
    EXPECT_EQ(0, c.set(handle_, 0x12345680));
    EXPECT_EQ(0, c.set(handle_, 1));
    char lines[3][48];
    std::snprintf(lines[0], sizeof lines[0], "to %02X v=0 i=0 [00]", c.request);
    std::snprintf(lines[1], sizeof lines[1], "to %02X v=128 i=0 [80]", c.request);
    std::snprintf(lines[2], sizeof lines[2], "to %02X v=1 i=0 [01]", c.request);
    EXPECT_EQ((Lines{lines[0], lines[1], lines[2]}), traffic(camera_));
}

TEST_P(ByteSettingTest, AFailedOrShortRequestFails) {
    const ByteSettingCase& c = GetParam();
    fail(camera_, 9, c.request);
    EXPECT_EQ(ERR_REQUEST_FAILED, c.set(handle_, 0));
    shortCount(camera_, 9, c.request);
    EXPECT_EQ(ERR_REQUEST_FAILED, c.set(handle_, 0));
    EXPECT_EQ(ERR_INVALID_HANDLE, c.set(nullptr, 0));
    EXPECT_EQ(2u, traffic(camera_).size());
}

INSTANTIATE_TEST_SUITE_P(Settings, ByteSettingTest,
                         ::testing::Values(ByteSettingCase{"TriggerPolarity", TarvexSetTriggerPolarity, 0xB8},
                                           ByteSettingCase{"StrobePolarity", TarvexSetStrobePolarity, 0xB9},
                                           ByteSettingCase{"SnapSpeed", TarvexSetSnapSpeed, 0xB6}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
