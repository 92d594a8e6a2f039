// Which stream sequences keep apart. A test driver holds one call of a
// sequence in the driver and watches whether a sequence started meanwhile on
// another thread reaches the camera before the held call returns: a second
// start (or stop) must not, a stop during a start (or a start during a
// stop) does.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "tarvex.h"
#include "tarvex_device.h"
#include "tarvex_sim.h"

namespace {

using namespace std::chrono_literals;

constexpr uint32_t CODE_VENDOR_IN = 6;
constexpr uint32_t CODE_VENDOR_OUT = 9;
constexpr uint32_t CODE_STRING_DESCRIPTOR = 80;
constexpr uint32_t CODE_STREAM_START = 340;
constexpr uint32_t CODE_STREAM_STOP = 344;

// A camera that answers every call with success and can hold one call of a
// chosen code until another call arrives (or a time has passed).
class HoldingDriver {
public:
    uint32_t control(uint32_t code, const void* in, void* out, uint32_t outSize, uint32_t* bytesReturned) {
        std::unique_lock<std::mutex> guard(mutex_);
        calls_.push_back(code);
        if (held_) {
            callDuringHold_ = true;
            changed_.notify_all();
        }
        answer(code, in, out, outSize, bytesReturned);
        if (code == holdCode_ && !held_ && !heldOnce_) {
            held_ = heldOnce_ = true;
            changed_.notify_all();
            changed_.wait_for(guard, holdFor_, [this] { return callDuringHold_; });
            held_ = false;
            changed_.notify_all();
        }
        return 0;
    }

    void holdNext(uint32_t code, std::chrono::milliseconds holdFor) {
        std::lock_guard<std::mutex> guard(mutex_);
        holdCode_ = code;
        holdFor_ = holdFor;
        held_ = heldOnce_ = callDuringHold_ = false;
        calls_.clear();
    }

    // Waits until the chosen call is being held.
    bool waitUntilHeld() {
        std::unique_lock<std::mutex> guard(mutex_);
        return changed_.wait_for(guard, 10s, [this] { return held_; });
    }

    bool callArrivedDuringHold() {
        std::lock_guard<std::mutex> guard(mutex_);
        return callDuringHold_;
    }

    size_t callCount() {
        std::lock_guard<std::mutex> guard(mutex_);
        return calls_.size();
    }

private:
    static void answer(uint32_t code, const void* in, void* out, uint32_t outSize, uint32_t* bytesReturned) {
        if (out != nullptr && code != CODE_VENDOR_OUT) std::memset(out, 0, outSize);
        *bytesReturned = outSize;
        if (code == CODE_STRING_DESCRIPTOR && outSize >= 6) {
            // String descriptor 1 of a camera with the peripheral port: "UA...".
            const uint8_t identification[6] = {6, 3, 'U', 0, 'A', 0};
            std::memcpy(out, identification, sizeof identification);
        }
        (void)in;
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<uint32_t> calls_;
    uint32_t holdCode_ = 0;
    std::chrono::milliseconds holdFor_{0};
    bool held_ = false;
    bool heldOnce_ = false;
    bool callDuringHold_ = false;
};

uint32_t driverControl(void* driver, void*, uint32_t code, const void* in, uint32_t, void* out,
                       uint32_t outSize, uint32_t* bytesReturned) {
    return static_cast<HoldingDriver*>(driver)->control(code, in, out, outSize, bytesReturned);
}

const tarvex_device_ops HOLDING_OPS = {nullptr, nullptr, driverControl, nullptr};

class StreamLockThreadTest : public ::testing::Test {
protected:
    void SetUp() override {
        tarvex_sim_detach_all();
        tarvex_device_desc desc{};
        desc.interface_class = "{2217C0A0-97CF-11DE-A807-444553540000}";
        desc.device_path = "\\\\?\\root#tarvex-holding#0000#{2217c0a0-97cf-11de-a807-444553540000}";
        desc.ops = &HOLDING_OPS;
        desc.driver = &driver_;
        ASSERT_EQ(0u, tarvex_device_create(&desc, &device_));
        ASSERT_EQ(1, TarvexGetDeviceNumber());
        ASSERT_EQ(0, BeginTarvex(1, &handle_));
    }

    void TearDown() override {
        if (handle_ != nullptr) EndTarvex(handle_);
        tarvex_device_remove(device_);
        TarvexGetDeviceNumber();
    }

    // Runs `first` on a thread until the driver holds `heldCode`, then
    // `second` on another thread; returns whether any call of `second`
    // reached the driver while the held call was still held.
    template <typename First, typename Second>
    bool secondReachesTheDriverDuringFirst(First first, uint32_t heldCode, Second second,
                                           std::chrono::milliseconds holdFor) {
        driver_.holdNext(heldCode, holdFor);
        std::thread a([&] { EXPECT_EQ(0, first(handle_)); });
        EXPECT_TRUE(driver_.waitUntilHeld());
        std::thread b([&] { EXPECT_EQ(0, second(handle_)); });
        a.join();
        b.join();
        return driver_.callArrivedDuringHold();
    }

    HoldingDriver driver_;
    uint32_t device_ = 0;
    CameraHandle handle_ = nullptr;
};

// A held call that must not be joined is held for this long: ample time for
// the second thread to reach its lock.
constexpr auto LONG_ENOUGH = 300ms;
// A held call that must be joined waits at most this long (it returns as soon
// as the second sequence's first call arrives).
constexpr auto SAFETY_LIMIT = 20s;

TEST_F(StreamLockThreadTest, ASecondStartWaitsForTheFirst) {
    EXPECT_FALSE(
        secondReachesTheDriverDuringFirst(TarvexStartSnap, CODE_STREAM_START, TarvexStartSnap, LONG_ENOUGH));
    EXPECT_EQ(6u, driver_.callCount());
}

TEST_F(StreamLockThreadTest, ASecondStopWaitsForTheFirst) {
    EXPECT_FALSE(
        secondReachesTheDriverDuringFirst(TarvexStopSnap, CODE_STREAM_STOP, TarvexAbortSnap, LONG_ENOUGH));
    EXPECT_EQ(10u, driver_.callCount());
}

TEST_F(StreamLockThreadTest, AStopRunsDuringAStart) {
    EXPECT_TRUE(
        secondReachesTheDriverDuringFirst(TarvexStartSnap, CODE_STREAM_START, TarvexStopSnap, SAFETY_LIMIT));
    EXPECT_EQ(8u, driver_.callCount());
}

TEST_F(StreamLockThreadTest, AStartRunsDuringAStop) {
    EXPECT_TRUE(
        secondReachesTheDriverDuringFirst(TarvexStopSnap, CODE_STREAM_STOP, TarvexStartSnap, SAFETY_LIMIT));
    EXPECT_EQ(8u, driver_.callCount());
}

// Transfers take no lock: one runs while a start is held in the driver.
TEST_F(StreamLockThreadTest, ATransferRunsDuringAStart) {
    std::vector<uint8_t> frame(1310720);
    uint32_t count = 0;
    auto transfer = [&](CameraHandle handle) { return TarvexTransfer(handle, frame.data(), &count); };
    EXPECT_TRUE(
        secondReachesTheDriverDuringFirst(TarvexStartSnap, CODE_STREAM_START, transfer, SAFETY_LIMIT));
}

}  // namespace
