// Snapshot acquisition: with bit 8 of sensor register 0x1E set, a frame comes
// only after a trigger (register 0x0B written with bit 0 set); a read without
// one fails after the frame time-out, measured on the camera's clock.
#include <thread>

#include "sim_driver_fixture.h"
#include "support/sim_fixture.h"

namespace tarvex_test {
namespace {

constexpr uint16_t SNAPSHOT_MODE = 0x8700;  // register 0x1E: power-on value with bit 8
constexpr uint16_t CONTINUOUS = 0x8600;
constexpr uint32_t FRAME_BYTES = 1280 * 1024;

class Snapshot : public SimDriverTest {
protected:
    HANDLE streamInSnapshotMode(const char* description = "UA") {
        HANDLE handle = attachAndOpen(description, &camera_);
        writeRegisters(handle, 0x1E, {SNAPSHOT_MODE});
        writeByte(handle, 0xBC, 1);
        frame_.resize(FRAME_BYTES);
        return handle;
    }
    DriverResult readFrame(HANDLE handle) {
        return call(handle, 350, nullptr, 0, frame_.data(), FRAME_BYTES);
    }
    static void trigger(HANDLE handle) { writeRegisters(handle, 0x0B, {0x0001}); }

    int32_t camera_ = 0;
    std::vector<uint8_t> frame_;
};

TEST_F(Snapshot, ReadWithoutTriggerTimesOutOnTheCameraClock) {
    HANDLE handle = streamInSnapshotMode();
    EXPECT_EQ(500, property(camera_, TARVEX_SIM_PROP_FRAME_TIMEOUT_MS));
    int64_t before = tarvex_sim_clock_ms();
    EXPECT_EQ(failedWith(121), readFrame(handle));
    // The call's own step, then the time-out.
    EXPECT_EQ(before + 1 + 500, tarvex_sim_clock_ms());
    EXPECT_EQ(121u, lastCall(camera_).error);
    EXPECT_EQ(0, property(camera_, TARVEX_SIM_PROP_FRAMES_DELIVERED));
}

class SnapshotTimeouts : public Snapshot, public ::testing::WithParamInterface<int64_t> {};

TEST_P(SnapshotTimeouts, FollowTheProperty) {
    HANDLE handle = streamInSnapshotMode();
    ASSERT_EQ(0, tarvex_sim_set(camera_, TARVEX_SIM_PROP_FRAME_TIMEOUT_MS, GetParam()));
    int64_t before = tarvex_sim_clock_ms();
    EXPECT_EQ(failedWith(121), readFrame(handle));
    EXPECT_EQ(before + 1 + GetParam(), tarvex_sim_clock_ms());
}

INSTANTIATE_TEST_SUITE_P(Snapshot, SnapshotTimeouts, ::testing::Values(0, 1, 1000, 60000));

TEST_F(Snapshot, EachTriggerQueuesOneFrame) {
    HANDLE handle = streamInSnapshotMode();
    trigger(handle);
    trigger(handle);
    EXPECT_EQ(2, property(camera_, TARVEX_SIM_PROP_SNAPSHOT_PENDING));
    EXPECT_EQ(succeeded(FRAME_BYTES), readFrame(handle));
    EXPECT_EQ(succeeded(FRAME_BYTES), readFrame(handle));
    EXPECT_EQ(0, property(camera_, TARVEX_SIM_PROP_SNAPSHOT_PENDING));
    EXPECT_EQ(failedWith(121), readFrame(handle));
    EXPECT_EQ(2, property(camera_, TARVEX_SIM_PROP_FRAMES_DELIVERED));
}

TEST_F(Snapshot, TriggerIsBitZeroOfRegister0B) {
    HANDLE handle = streamInSnapshotMode();
    writeRegisters(handle, 0x0B, {0x0002});          // bit 0 clear: no trigger
    writeRegisters(handle, 0x0A, {0x0000, 0x0001});  // a frame that reaches 0x0B
    writeRegisters(handle, 0x0B, {0x0003});
    EXPECT_EQ(2, property(camera_, TARVEX_SIM_PROP_SNAPSHOT_PENDING));
}

TEST_F(Snapshot, ContinuousModeIgnoresAndDropsTriggers) {
    HANDLE handle = streamInSnapshotMode();
    trigger(handle);
    writeRegisters(handle, 0x1E, {CONTINUOUS});
    EXPECT_EQ(0, property(camera_, TARVEX_SIM_PROP_SNAPSHOT_PENDING));
    trigger(handle);
    EXPECT_EQ(0, property(camera_, TARVEX_SIM_PROP_SNAPSHOT_PENDING));
    EXPECT_EQ(succeeded(FRAME_BYTES), readFrame(handle));  // continuous: no trigger needed
}

TEST_F(Snapshot, AcquisitionOffDropsTriggers) {
    HANDLE handle = streamInSnapshotMode();
    trigger(handle);
    writeByte(handle, 0xBC, 0);
    EXPECT_EQ(0, property(camera_, TARVEX_SIM_PROP_SNAPSHOT_PENDING));
    EXPECT_EQ(failedWith(31), readFrame(handle));
}

TEST_F(Snapshot, PacedTriggeredFrameTakesItsReadoutTime) {
    HANDLE handle = streamInSnapshotMode("UA:paced=1");
    ASSERT_EQ(0, tarvex_sim_clock_advance_us(1000000));
    trigger(handle);
    uint64_t triggeredUs = lastCall(camera_).time_us;
    EXPECT_EQ(succeeded(FRAME_BYTES), readFrame(handle));
    readStatus(handle);
    EXPECT_EQ(triggeredUs + 32768 + STEP_US, lastCall(camera_).time_us);
}

TEST_F(Snapshot, NegativeTimeoutIsRefused) {
    streamInSnapshotMode();
    EXPECT_EQ(TARVEX_SIM_EINVAL, tarvex_sim_set(camera_, TARVEX_SIM_PROP_FRAME_TIMEOUT_MS, -1));
    EXPECT_EQ(500, property(camera_, TARVEX_SIM_PROP_FRAME_TIMEOUT_MS));
}

// On the real clock a read waits for a trigger fired by another thread.
TEST_F(Snapshot, TriggerFromAnotherThreadEndsTheWait) {
    HANDLE handle = streamInSnapshotMode();
    ASSERT_EQ(0, tarvex_sim_clock_virtual(0, 0, 0));
    ASSERT_EQ(0, tarvex_sim_set(camera_, TARVEX_SIM_PROP_FRAME_TIMEOUT_MS, 3000));
    std::thread triggering([handle] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        trigger(handle);
    });
    DriverResult result = readFrame(handle);
    triggering.join();
    EXPECT_EQ(succeeded(FRAME_BYTES), result);
}

// The library's snapshot calls drive the camera this way.
class SnapshotThroughLibrary : public SimCameraTest {};

TEST_F(SnapshotThroughLibrary, TriggerShotDeliversOneFrame) {
    int32_t camera = attach("UA");
    CameraHandle handle = open(camera);
    ASSERT_EQ(0, TarvexSetSnapMode(handle, 1));
    ASSERT_EQ(0, TarvexStartSnap(handle));
    std::vector<uint8_t> frame(FRAME_BYTES);
    uint32_t bytes = 0;
    EXPECT_EQ(ERR_DRIVER_CALL, TarvexTransfer(handle, frame.data(), &bytes));
    ASSERT_EQ(0, TarvexTriggerShot(handle));
    EXPECT_EQ(0, TarvexTransfer(handle, frame.data(), &bytes));
    EXPECT_EQ(FRAME_BYTES, bytes);
    EXPECT_EQ(1, property(camera, TARVEX_SIM_PROP_FRAMES_DELIVERED));
}

}  // namespace
}  // namespace tarvex_test
