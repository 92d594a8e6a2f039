// Resolution mode, output window, blanking and mirroring: the register values
// the sensor receives.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/sim_fixture.h"

namespace {

using tarvex_test::SimCameraTest;
using Lines = std::vector<std::string>;

class GeometryTest : public SimCameraTest {
protected:
    void SetUp() override {
        SimCameraTest::SetUp();
        camera_ = attach("UA");
        handle_ = open(camera_);
    }

    // The frame size the next start arms the stream with.
    int64_t nextFrameBytes() {
        EXPECT_EQ(0, TarvexStartSnap(handle_));
        EXPECT_EQ(0, TarvexStopSnap(handle_));
        return property(camera_, TARVEX_SIM_PROP_ARMED_BYTES);
    }

    int32_t camera_ = 0;
    CameraHandle handle_ = nullptr;
};

// ---- Resolution mode --------------------------------------------------------

struct ResolutionCase {
    uint32_t mode;
    Lines writes;  // register 0x20 mode-1 field, 0x1E mode-2 field, 0x1E mode-3 field
};

class ResolutionTest : public GeometryTest, public ::testing::WithParamInterface<ResolutionCase> {};

TEST_P(ResolutionTest, WritesTheThreeModeFieldsInOrder) {
    EXPECT_EQ(0, TarvexSetResolution(handle_, GetParam().mode));
    EXPECT_EQ(GetParam().writes, trafficWithoutPolls(camera_));
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ResolutionTest,
    ::testing::Values(
        ResolutionCase{0,
                       {"to B0 v=3 i=0 [20 13 04]", "to B0 v=3 i=0 [1E 86 00]", "to B0 v=3 i=0 [1E 86 00]"}},
        ResolutionCase{1,
                       {"to B0 v=3 i=0 [20 13 1C]", "to B0 v=3 i=0 [1E 86 00]", "to B0 v=3 i=0 [1E 86 00]"}},
        ResolutionCase{2,
                       {"to B0 v=3 i=0 [20 13 04]", "to B0 v=3 i=0 [1E 86 0C]", "to B0 v=3 i=0 [1E 86 0C]"}},
        ResolutionCase{3,
                       {"to B0 v=3 i=0 [20 13 04]", "to B0 v=3 i=0 [1E 86 00]", "to B0 v=3 i=0 [1E 86 30]"}},
        // Only the low byte of the mode counts.
        ResolutionCase{
            0x101, {"to B0 v=3 i=0 [20 13 1C]", "to B0 v=3 i=0 [1E 86 00]", "to B0 v=3 i=0 [1E 86 00]"}}));

TEST_F(GeometryTest, ChangingModeClearsTheFieldsOfTheOldOne) {
    ASSERT_EQ(0, TarvexSetResolution(handle_, 2));
    clearLog(camera_);
    EXPECT_EQ(0, TarvexSetResolution(handle_, 1));
    EXPECT_EQ((Lines{"to B0 v=3 i=0 [20 13 1C]", "to B0 v=3 i=0 [1E 86 00]", "to B0 v=3 i=0 [1E 86 00]"}),
              trafficWithoutPolls(camera_));
}

TEST_F(GeometryTest, AModeAboveThreeIsRefusedBeforeTheHandle) {
    for (uint32_t mode : {4u, 0x104u, 0xFFu}) {
        EXPECT_EQ(ERR_OUT_OF_RANGE, TarvexSetResolution(handle_, mode));
        EXPECT_EQ(ERR_OUT_OF_RANGE, TarvexSetResolution(nullptr, mode));
    }
    EXPECT_EQ(ERR_INVALID_HANDLE, TarvexSetResolution(nullptr, 1));
    EXPECT_TRUE(traffic(camera_).empty());
}

// The last field write decides the result and whether the mode is recorded;
// the recorded mode shows in the scale of the next window.
TEST_F(GeometryTest, OnlyTheLastFieldWriteDecides) {
    fail(camera_, 9, 0xB0, 1, 2);
    EXPECT_EQ(0, TarvexSetResolution(handle_, 1));
    clearLog(camera_);
    ASSERT_EQ(0, TarvexSetOutputWindow(handle_, 0, 0, 100, 100));
    EXPECT_EQ(Lines{"to B0 v=9 i=0 [01 00 0C 00 14 00 C7 00 C7]"}, trafficWithoutPolls(camera_));

    fail(camera_, 9, 0xB0, 3);
    EXPECT_EQ(ERR_REQUEST_FAILED, TarvexSetResolution(handle_, 2));
    clearLog(camera_);
    ASSERT_EQ(0, TarvexSetOutputWindow(handle_, 0, 0, 100, 100));
    EXPECT_EQ(Lines{"to B0 v=9 i=0 [01 00 0C 00 14 00 C7 00 C7]"}, trafficWithoutPolls(camera_));
}

// ---- Output window ----------------------------------------------------------

struct WindowCase {
    const char* name;
    uint32_t mode;
    int32_t x, y, width, height;
    const char* write;  // the one frame of registers 0x01-0x04
};

class WindowTest : public GeometryTest, public ::testing::WithParamInterface<WindowCase> {};

TEST_P(WindowTest, WritesTheFourWindowRegistersInOneFrame) {
    const WindowCase& c = GetParam();
    ASSERT_EQ(0, TarvexSetResolution(handle_, c.mode));
    clearLog(camera_);
    EXPECT_EQ(0, TarvexSetOutputWindow(handle_, c.x, c.y, c.width, c.height));
    EXPECT_EQ(Lines{c.write}, trafficWithoutPolls(camera_));
}

INSTANTIATE_TEST_SUITE_P(
    Windows, WindowTest,
    ::testing::Values(
        WindowCase{"FullFrame", 0, 0, 0, 1280, 1024, "to B0 v=9 i=0 [01 00 0C 00 14 03 FF 04 FF]"},
        WindowCase{"HalfSize", 1, 0, 0, 640, 512, "to B0 v=9 i=0 [01 00 0C 00 14 03 FF 04 FF]"},
        WindowCase{"QuarterSize", 2, 10, 20, 320, 256, "to B0 v=9 i=0 [01 00 5C 00 3C 03 FF 04 FF]"},
        WindowCase{"Smallest", 0, 0, 0, 4, 3, "to B0 v=9 i=0 [01 00 0C 00 14 00 02 00 03]"},
        // 65530 + 12 wraps to 6.
        WindowCase{"RowWraps", 0, 0, 65530, 640, 480, "to B0 v=9 i=0 [01 00 06 00 14 01 DF 02 7F]"},
        // Negative positions wrap the same way: -20 x 4 + 20 = -60 = 0xFFC4.
        WindowCase{"NegativeColumn", 2, -20, 0, 320, 256, "to B0 v=9 i=0 [01 00 0C FF C4 03 FF 04 FF]"},
        // Huge positions neither overflow nor are refused: 4 x 0x7FFFFFFF + 20 = 0x...10.
        WindowCase{"HugePosition", 2, 0x7FFFFFFF, 0x7FFFFFFF, 320, 256,
                   "to B0 v=9 i=0 [01 00 08 00 10 03 FF 04 FF]"},
        // The widest window that still has a 32-bit frame size: 4 x 65536 - 1 wraps.
        WindowCase{"WidthWraps", 2, 0, 0, 65536, 32767, "to B0 v=9 i=0 [01 00 0C 00 14 FF FB FF FF]"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(GeometryTest, TheWindowFixesTheNextFrameSize) {
    ASSERT_EQ(0, TarvexSetResolution(handle_, 1));
    ASSERT_EQ(0, TarvexSetOutputWindow(handle_, 0, 0, 640, 512));
    EXPECT_EQ(327680, nextFrameBytes());
    ASSERT_EQ(0, TarvexSetOutputWindow(handle_, 8, 8, 4, 3));
    EXPECT_EQ(12, nextFrameBytes());
}

// A change of mode leaves the window as it is: the frame size stays the
// window's until the window is set again.
TEST_F(GeometryTest, ResolutionLeavesTheWindowAlone) {
    ASSERT_EQ(0, TarvexSetResolution(handle_, 2));
    EXPECT_EQ(1310720, nextFrameBytes());
}

struct RefusedWindow {
    int32_t width, height;
};

class RefusedWindowTest : public GeometryTest, public ::testing::WithParamInterface<RefusedWindow> {};

TEST_P(RefusedWindowTest, IsRefusedBeforeTheHandleWithNothingSent) {
    const RefusedWindow& w = GetParam();
    EXPECT_EQ(ERR_OUT_OF_RANGE, TarvexSetOutputWindow(handle_, 0, 0, w.width, w.height));
    EXPECT_EQ(ERR_OUT_OF_RANGE, TarvexSetOutputWindow(nullptr, 0, 0, w.width, w.height));
    EXPECT_TRUE(traffic(camera_).empty());
    EXPECT_EQ(1310720, nextFrameBytes());
}

INSTANTIATE_TEST_SUITE_P(Sizes, RefusedWindowTest,
                         ::testing::Values(RefusedWindow{3, 3}, RefusedWindow{4, 2}, RefusedWindow{0, 0},
                                           RefusedWindow{-1280, 1024}, RefusedWindow{1280, INT32_MIN},
                                           // Frame sizes beyond 2^31 - 1 bytes.
                                           RefusedWindow{65536, 32768}, RefusedWindow{46341, 46341},
                                           RefusedWindow{INT32_MAX, INT32_MAX}, RefusedWindow{INT32_MAX, 3}));

TEST_F(GeometryTest, ModeThreeRefusesAWindowWithNothingSent) {
    ASSERT_EQ(0, TarvexSetResolution(handle_, 3));
    clearLog(camera_);
    EXPECT_EQ(ERR_OUT_OF_RANGE, TarvexSetOutputWindow(handle_, 0, 0, 160, 128));
    EXPECT_TRUE(traffic(camera_).empty());
    EXPECT_EQ(1310720, nextFrameBytes());
}

TEST_F(GeometryTest, AFailedWindowWriteKeepsTheOldFrameSize) {
    fail(camera_, 9, 0xB0);
    EXPECT_EQ(ERR_REQUEST_FAILED, TarvexSetOutputWindow(handle_, 0, 0, 640, 480));
    EXPECT_EQ(1310720, nextFrameBytes());
}

TEST_F(GeometryTest, BusyTimeoutOfTheWindowWriteIsReported) {
    TARVEX_REQUIRE_VIRTUAL_CLOCK();
    ASSERT_EQ(0, tarvex_sim_set(camera_, TARVEX_SIM_PROP_BUSY_READS_BIT0, -1));
    EXPECT_EQ(ERR_BUSY_TIMEOUT, TarvexSetOutputWindow(handle_, 0, 0, 640, 480));
    ASSERT_EQ(0, tarvex_sim_set(camera_, TARVEX_SIM_PROP_BUSY_READS_BIT0, 1));
    EXPECT_EQ(1310720, nextFrameBytes());
}

// ---- Blanking -----------------------------------------------------------------

struct DelayCase {
    int32_t horizontal, vertical;
    const char* write;
};

class DelayTest : public GeometryTest, public ::testing::WithParamInterface<DelayCase> {};

TEST_P(DelayTest, WritesBothBlankingRegistersInOneFrame) {
    const DelayCase& c = GetParam();
    EXPECT_EQ(0, TarvexSetDelay(handle_, c.horizontal, c.vertical));
    EXPECT_EQ(Lines{c.write}, trafficWithoutPolls(camera_));
}

INSTANTIATE_TEST_SUITE_P(Delays, DelayTest,
                         ::testing::Values(DelayCase{0, 0, "to B0 v=5 i=0 [05 00 09 00 19]"},
                                           DelayCase{-9, -25, "to B0 v=5 i=0 [05 00 00 00 00]"},
                                           DelayCase{2038, 2022, "to B0 v=5 i=0 [05 07 FF 07 FF]"},
                                           DelayCase{-10, 0, "to B0 v=5 i=0 [05 FF FF 00 19]"},
                                           DelayCase{INT32_MAX, INT32_MIN,
                                                     "to B0 v=5 i=0 [05 00 08 00 19]"}));

TEST_F(GeometryTest, DelayPassesAWriteFailureThrough) {
    fail(camera_, 9, 0xB0);
    EXPECT_EQ(ERR_REQUEST_FAILED, TarvexSetDelay(handle_, 1, 1));
    EXPECT_EQ(ERR_INVALID_HANDLE, TarvexSetDelay(nullptr, 1, 1));
}

// ---- Mirror -------------------------------------------------------------------

TEST_F(GeometryTest, MirrorSetsAndClearsBitsSevenAndFifteen) {
    EXPECT_EQ(0, TarvexEnableVideoMirror(handle_, 0, 5));
    EXPECT_EQ(0, TarvexEnableVideoMirror(handle_, -1, 1));
    EXPECT_EQ(0, TarvexEnableVideoMirror(handle_, 12345, 0));
    EXPECT_EQ((Lines{"to B0 v=3 i=0 [20 93 84]", "to B0 v=3 i=0 [20 93 84]", "to B0 v=3 i=0 [20 13 04]"}),
              trafficWithoutPolls(camera_));
}

TEST_F(GeometryTest, MirrorKeepsTheResolutionField) {
    ASSERT_EQ(0, TarvexSetResolution(handle_, 1));
    clearLog(camera_);
    EXPECT_EQ(0, TarvexEnableVideoMirror(handle_, 0, 1));
    EXPECT_EQ(Lines{"to B0 v=3 i=0 [20 93 9C]"}, trafficWithoutPolls(camera_));
    EXPECT_EQ(0x939C, sensorRegister(camera_, 0x20));
}

TEST_F(GeometryTest, MirrorPassesAWriteFailureThrough) {
    fail(camera_, 9, 0xB0);
    EXPECT_EQ(ERR_REQUEST_FAILED, TarvexEnableVideoMirror(handle_, 0, 1));
    EXPECT_EQ(ERR_INVALID_HANDLE, TarvexEnableVideoMirror(nullptr, 0, 1));
}

}  // namespace
