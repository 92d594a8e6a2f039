// Many starts, stops and transfers on one camera from two threads at once:
// every sequence reaches the camera whole, and nothing races (these run under
// ThreadSanitizer too). Which sequences keep apart is shown one call at a
// time in stream_lock_threads_test.cpp.
#include <gtest/gtest.h>

#include <algorithm>
#include <barrier>
#include <string>
#include <thread>
#include <vector>

#include "support/sim_fixture.h"

namespace {

using tarvex_test::SimCameraTest;
using Lines = std::vector<std::string>;

constexpr int ROUNDS = 200;

const Lines StartSequence = {"to D0 v=0 i=0 [00]", "code 340 (1310720)", "to BC v=1 i=0 [01]"};
const Lines StopSequence = {"to BC v=0 i=0 [00]", "code 320 (1)", "code 456", "code 344",
                            "to D0 v=0 i=0 [00]"};

class StreamThreadsTest : public SimCameraTest {
protected:
    void SetUp() override {
        SimCameraTest::SetUp();
        camera_ = attach("UA");
        handle_ = open(camera_);
    }

    // Runs `first` and `second` ROUNDS times, each on its own thread; the two
    // threads meet before every round so that their calls start together.
    template <typename First, typename Second>
    void runTogether(First first, Second second) {
        std::barrier meeting(2);
        std::thread a([&] {
            for (int i = 0; i < ROUNDS; ++i) {
                meeting.arrive_and_wait();
                EXPECT_EQ(0, first(handle_));
            }
        });
        std::thread b([&] {
            for (int i = 0; i < ROUNDS; ++i) {
                meeting.arrive_and_wait();
                EXPECT_EQ(0, second(handle_));
            }
        });
        a.join();
        b.join();
    }

    // The traffic is whole sequences, one after the other.
    static void expectWholeSequences(const Lines& lines, const Lines& sequence) {
        ASSERT_EQ(2 * ROUNDS * sequence.size(), lines.size());
        for (size_t i = 0; i < lines.size(); ++i) {
            ASSERT_EQ(sequence[i % sequence.size()], lines[i]) << "call " << i;
        }
    }

    static size_t countOf(const Lines& lines, const std::string& line) {
        return static_cast<size_t>(std::count(lines.begin(), lines.end(), line));
    }

    int32_t camera_ = 0;
    CameraHandle handle_ = nullptr;
};

TEST_F(StreamThreadsTest, StartsFromTwoThreadsComeAsWholeSequences) {
    runTogether(TarvexStartSnap, TarvexStartSnap);
    expectWholeSequences(traffic(camera_), StartSequence);
}

TEST_F(StreamThreadsTest, StopsFromTwoThreadsComeAsWholeSequences) {
    runTogether(TarvexStopSnap, TarvexAbortSnap);
    expectWholeSequences(traffic(camera_), StopSequence);
}

// A start and a stop are not kept apart: both run to the end with every one
// of their steps sent, whatever order the camera sees them in.
TEST_F(StreamThreadsTest, AStartAndAStopMayRunAtOnce) {
    runTogether(TarvexStartSnap, TarvexStopSnap);
    Lines lines = traffic(camera_);
    EXPECT_EQ(ROUNDS * (StartSequence.size() + StopSequence.size()), lines.size());
    EXPECT_EQ(size_t{ROUNDS}, countOf(lines, "code 340 (1310720)"));
    EXPECT_EQ(size_t{ROUNDS}, countOf(lines, "to BC v=1 i=0 [01]"));
    EXPECT_EQ(size_t{ROUNDS}, countOf(lines, "to BC v=0 i=0 [00]"));
    EXPECT_EQ(size_t{ROUNDS}, countOf(lines, "code 344"));
    EXPECT_EQ(size_t{2 * ROUNDS}, countOf(lines, "to D0 v=0 i=0 [00]"));
}

// Transfers take no lock and may run while a start is in progress.
TEST_F(StreamThreadsTest, TransfersRunBesideStarts) {
    ASSERT_EQ(0, TarvexStartSnap(handle_));
    std::vector<uint8_t> frame(1310720);
    std::thread starter([&] {
        for (int i = 0; i < ROUNDS; ++i) EXPECT_EQ(0, TarvexStartSnap(handle_));
    });
    for (int i = 0; i < ROUNDS; ++i) {
        uint32_t count = 0;
        EXPECT_EQ(0, TarvexTransfer(handle_, frame.data(), &count));
        EXPECT_EQ(1310720u, count);
    }
    starter.join();
}

}  // namespace
