// The virtual clock (each device-control call moves it on by a step, waits
// jump ahead) and the pacing of frames like a USB 2.0 link at 40 MB/s.
#include "sim_driver_fixture.h"

namespace tarvex_test {
namespace {

constexpr uint64_t START_US = uint64_t{SimDriverTest::CLOCK_START_MS} * 1000;

TEST_F(SimDriverTest, EachDeviceCallAdvancesTheClockByItsStep) {
    int32_t camera = 0;
    HANDLE handle = attachAndOpen("UA", &camera);
    EXPECT_EQ(CLOCK_START_MS, tarvex_sim_clock_ms());
    EXPECT_EQ(CLOCK_START_MS, GetTickCount());
    for (int i = 0; i < 5; ++i) readStatus(handle);
    EXPECT_EQ(CLOCK_START_MS + 5, tarvex_sim_clock_ms());
    EXPECT_EQ(CLOCK_START_MS + 5, GetTickCount());
    std::vector<tarvex_sim_call> logged = calls(camera);
    ASSERT_EQ(5u, logged.size());
    for (size_t i = 0; i < logged.size(); ++i) EXPECT_EQ(START_US + 1000 * (i + 1), logged[i].time_us);
    // Opening and closing a handle is not a device-control call.
    CloseHandle(open(camera));
    EXPECT_EQ(CLOCK_START_MS + 5, tarvex_sim_clock_ms());
}

TEST_F(SimDriverTest, StepAndStartAreConfigurable) {
    HANDLE handle = attachAndOpen();
    ASSERT_EQ(0, tarvex_sim_clock_virtual(1, 0xFFFFFFF0u, 250));
    for (int i = 0; i < 100; ++i) readStatus(handle);
    EXPECT_EQ(0xFFFFFFF0u + 25ll, tarvex_sim_clock_ms());
    // The tick count is the low 32 bits and wraps.
    EXPECT_EQ(static_cast<DWORD>(0xFFFFFFF0u + 25u), GetTickCount());
    ASSERT_EQ(0, tarvex_sim_clock_virtual(1, 10, 0));  // step 0 means 1000
    readStatus(handle);
    EXPECT_EQ(11, tarvex_sim_clock_ms());
    ASSERT_EQ(0, tarvex_sim_clock_advance_us(2500));
    EXPECT_EQ(13, tarvex_sim_clock_ms());
}

TEST_F(SimDriverTest, RealClockReturnsWithoutAVirtualClock) {
    ASSERT_EQ(0, tarvex_sim_clock_virtual(0, 0, 0));
    int64_t real = tarvex_sim_clock_ms();
    EXPECT_LT(std::llabs(real - static_cast<int64_t>(GetTickCount())), 1000);
    EXPECT_EQ(TARVEX_SIM_EINVAL, tarvex_sim_clock_advance_us(1000));
    ASSERT_EQ(0, tarvex_sim_clock_virtual(1, 5, 1000));
    EXPECT_EQ(5u, GetTickCount());
    ASSERT_EQ(0, tarvex_sim_detach_all());  // also brings the real clock back
    EXPECT_LT(std::llabs(tarvex_sim_clock_ms() - static_cast<int64_t>(GetTickCount())), 1000);
    EXPECT_GT(tarvex_sim_clock_ms(), 5);
}

struct PacingCase {
    uint32_t frameBytes;
    uint64_t intervalUs;  // between frames
};

class Pacing : public SimDriverTest, public ::testing::WithParamInterface<PacingCase> {};

// Frame k is delivered k intervals after acquisition started, however soon it
// was asked for; a call after it arrives one step later.
TEST_P(Pacing, FramesComeAtTheLinkRate) {
    const PacingCase& c = GetParam();
    int32_t camera = 0;
    HANDLE handle = attachAndOpen("UA:paced=1", &camera);
    int32_t status = 0;
    callWithValue(handle, 340, c.frameBytes, &status, 4);
    writeByte(handle, 0xBC, 1);
    uint64_t startUs = lastCall(camera).time_us;
    std::vector<uint8_t> frame(c.frameBytes);
    for (uint64_t k = 1; k <= 4; ++k) {
        ASSERT_EQ(succeeded(c.frameBytes), call(handle, 350, nullptr, 0, frame.data(), c.frameBytes));
        readStatus(handle);
        EXPECT_EQ(startUs + k * c.intervalUs + STEP_US, lastCall(camera).time_us) << "frame " << k;
    }
    EXPECT_EQ(4, property(camera, TARVEX_SIM_PROP_FRAMES_DELIVERED));
}

INSTANTIATE_TEST_SUITE_P(UsbLink, Pacing,
                         ::testing::Values(PacingCase{1280 * 1024, 32768},  // about 30 fps
                                           PacingCase{640 * 512, 8192},     // four times as many
                                           PacingCase{320 * 256, 2048}, PacingCase{4000000, 100000}));

TEST_F(SimDriverTest, LateReaderGetsItsFrameAtOnce) {
    int32_t camera = 0;
    HANDLE handle = attachAndOpen("UA:paced=1", &camera);
    writeByte(handle, 0xBC, 1);
    ASSERT_EQ(0, tarvex_sim_clock_advance_us(100000));
    std::vector<uint8_t> frame(1280 * 1024);
    int64_t before = tarvex_sim_clock_ms();
    call(handle, 350, nullptr, 0, frame.data(), static_cast<uint32_t>(frame.size()));
    EXPECT_EQ(before + 1, tarvex_sim_clock_ms());
    // The next one counts from this delivery.
    call(handle, 350, nullptr, 0, frame.data(), static_cast<uint32_t>(frame.size()));
    readStatus(handle);
    EXPECT_EQ(uint64_t(before) * 1000 + 1000 + 32768 + 1000, lastCall(camera).time_us);
}

TEST_F(SimDriverTest, SlightlyLateReaderKeepsTheCadence) {
    int32_t camera = 0;
    HANDLE handle = attachAndOpen("UA:paced=1", &camera);
    writeByte(handle, 0xBC, 1);
    uint64_t startUs = lastCall(camera).time_us;
    ASSERT_EQ(0, tarvex_sim_clock_advance_us(39000));  // frame 1 was ready at 32768
    std::vector<uint8_t> frame(1280 * 1024);
    call(handle, 350, nullptr, 0, frame.data(), 1280 * 1024);
    EXPECT_EQ(startUs + 40000, lastCall(camera).time_us);
    call(handle, 350, nullptr, 0, frame.data(), 1280 * 1024);
    readStatus(handle);
    EXPECT_EQ(startUs + 2 * 32768 + STEP_US, lastCall(camera).time_us);
}

TEST_F(SimDriverTest, UnpacedFramesCostOneStep) {
    int32_t camera = 0;
    HANDLE handle = attachAndOpen("UA", &camera);
    EXPECT_EQ(0, property(camera, TARVEX_SIM_PROP_PACED));
    writeByte(handle, 0xBC, 1);
    std::vector<uint8_t> frame(1280 * 1024);
    int64_t before = tarvex_sim_clock_ms();
    for (int i = 0; i < 10; ++i) call(handle, 350, nullptr, 0, frame.data(), 1280 * 1024);
    EXPECT_EQ(before + 10, tarvex_sim_clock_ms());
    ASSERT_EQ(0, tarvex_sim_set(camera, TARVEX_SIM_PROP_PACED, 1));
    EXPECT_EQ(TARVEX_SIM_EINVAL, tarvex_sim_set(camera, TARVEX_SIM_PROP_PACED, 2));
    call(handle, 350, nullptr, 0, frame.data(), 1280 * 1024);
    EXPECT_EQ(before + 10 + 32, tarvex_sim_clock_ms());
}

}  // namespace
}  // namespace tarvex_test
