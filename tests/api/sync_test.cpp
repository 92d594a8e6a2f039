// Waiting for the frame sync to fall, on the virtual clock.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/sim_fixture.h"

namespace {

using tarvex_test::SimCameraTest;

constexpr int64_t DEADLINE_MS = 5000;

class SyncTest : public SimCameraTest {
protected:
    void SetUp() override {
        SimCameraTest::SetUp();
        camera_ = attach("UA");
        handle_ = open(camera_);
    }

    void script(std::vector<uint8_t> levels) {
        ASSERT_EQ(0, tarvex_sim_script_sync(camera_, levels.data(), static_cast<uint32_t>(levels.size())));
    }

    // Runs the wait and returns how many sync reads it made and how long it
    // took on the camera's clock. Every call must be a sync read.
    void waitSync(size_t& reads, int64_t& elapsedMs) {
        clearLog(camera_);
        int64_t before = tarvex_sim_clock_ms();
        EXPECT_EQ(0, TarvexWaitSync(handle_));
        elapsedMs = tarvex_sim_clock_ms() - before;
        std::vector<std::string> lines = traffic(camera_);
        reads = lines.size();
        for (const std::string& line : lines) {
            ASSERT_EQ(0u, line.rfind("code 326 (0) n=1", 0)) << line;
        }
    }

    int32_t camera_ = 0;
    CameraHandle handle_ = nullptr;
};

// A level that never changes is waited for until the deadline, which is not
// reported: about one read per millisecond of the virtual clock.
TEST_F(SyncTest, ALevelHeldHighOrLowWaitsForTheDeadline) {
    TARVEX_REQUIRE_VIRTUAL_CLOCK();
    for (uint8_t level : {1, 0}) {
        script({level});
        size_t reads = 0;
        int64_t elapsedMs = 0;
        waitSync(reads, elapsedMs);
        EXPECT_GE(elapsedMs, DEADLINE_MS) << int{level};
        EXPECT_LE(elapsedMs, DEADLINE_MS + 3) << int{level};
        EXPECT_GE(reads, static_cast<size_t>(DEADLINE_MS - 3)) << int{level};
        EXPECT_LE(reads, static_cast<size_t>(DEADLINE_MS + 3)) << int{level};
    }
}

struct EdgeCase {
    const char* name;
    std::vector<uint8_t> levels;
    size_t reads;  // the wait ends at the first low read after a high one
};

class SyncEdgeTest : public SyncTest, public ::testing::WithParamInterface<EdgeCase> {};

TEST_P(SyncEdgeTest, ReturnsAtTheFirstFall) {
    script(GetParam().levels);
    size_t reads = 0;
    int64_t elapsedMs = 0;
    waitSync(reads, elapsedMs);
    EXPECT_EQ(GetParam().reads, reads);
    EXPECT_LT(elapsedMs, DEADLINE_MS);
}

INSTANTIATE_TEST_SUITE_P(
    Levels, SyncEdgeTest,
    ::testing::Values(EdgeCase{"HighThenLow", {1, 0}, 2}, EdgeCase{"HighForAWhile", {1, 1, 1, 1, 0}, 5},
                      // A wait that starts low first waits for the rise.
                      EdgeCase{"LowRiseFall", {0, 1, 1, 0}, 4},
                      EdgeCase{"LowForAWhile", {0, 0, 0, 1, 1, 0}, 6},
                      // A rise on the second read ends the pass; the next pass finds the fall.
                      EdgeCase{"RiseThenHighThenFall", {0, 1, 1, 1, 0, 1}, 5},
                      EdgeCase{"TwoRisesThenAFall", {0, 1, 0, 1, 1, 0}, 6}),
    [](const auto& info) { return std::string(info.param.name); });

// A read that fails keeps the level held before it; before the first good
// read the level counts as low.
TEST_F(SyncTest, FailedReadsKeepTheHeldLevel) {
    script({1, 1, 0});
    fail(camera_, 326, TARVEX_SIM_ANY, 2);  // the second read fails: still high
    size_t reads = 0;
    int64_t elapsedMs = 0;
    waitSync(reads, elapsedMs);
    EXPECT_EQ(4u, reads);  // high, (failed: high), high, low
}

// Before the first good read the level counts as low: a first read that
// fails followed by a high one is a rise, not the high half of a fall.
TEST_F(SyncTest, AFailedFirstReadCountsAsLow) {
    TARVEX_REQUIRE_VIRTUAL_CLOCK();
    script({1, 0});
    fail(camera_, 326, TARVEX_SIM_ANY, 1);
    size_t reads = 0;
    int64_t elapsedMs = 0;
    clearLog(camera_);
    int64_t before = tarvex_sim_clock_ms();
    EXPECT_EQ(0, TarvexWaitSync(handle_));
    elapsedMs = tarvex_sim_clock_ms() - before;
    reads = traffic(camera_).size();
    EXPECT_GE(elapsedMs, DEADLINE_MS);
    EXPECT_GT(reads, 3u);
}

TEST_F(SyncTest, EveryReadFailingWaitsForTheDeadline) {
    TARVEX_REQUIRE_VIRTUAL_CLOCK();
    script({1, 0, 1, 0});
    fail(camera_, 326, TARVEX_SIM_ANY, 1, 0);
    size_t reads = 0;
    int64_t elapsedMs = 0;
    clearLog(camera_);
    int64_t before = tarvex_sim_clock_ms();
    EXPECT_EQ(0, TarvexWaitSync(handle_));
    elapsedMs = tarvex_sim_clock_ms() - before;
    reads = traffic(camera_).size();
    EXPECT_GE(elapsedMs, DEADLINE_MS);
    EXPECT_GE(reads, static_cast<size_t>(DEADLINE_MS - 3));
}

// The elapsed time is an unsigned difference: a wait across the wrap of the
// 32-bit tick count still lasts its 5000 ms.
TEST_F(SyncTest, TheDeadlineHoldsAcrossTheTickCountWrap) {
    TARVEX_REQUIRE_VIRTUAL_CLOCK();
    ASSERT_EQ(0, tarvex_sim_clock_virtual(1, 0xFFFFFFFFu - 1000u, 1000));
    script({1});
    size_t reads = 0;
    int64_t elapsedMs = 0;
    waitSync(reads, elapsedMs);
    EXPECT_GE(elapsedMs, DEADLINE_MS);
    EXPECT_LE(elapsedMs, DEADLINE_MS + 3);
}

TEST_F(SyncTest, AnInvalidHandleWaitsForNothing) {
    EXPECT_EQ(ERR_INVALID_HANDLE, TarvexWaitSync(nullptr));
    EXPECT_TRUE(traffic(camera_).empty());
}

}  // namespace
