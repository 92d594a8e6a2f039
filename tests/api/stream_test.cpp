// Starting and stopping the stream, frame transfer and the driver's last error.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/sim_fixture.h"

namespace {

using tarvex_test::SimCameraTest;
using Lines = std::vector<std::string>;

const Lines StartSequence = {"to D0 v=0 i=0 [00]", "code 340 (1310720)", "to BC v=1 i=0 [01]"};
const Lines StopSequence = {"to BC v=0 i=0 [00]", "code 320 (1)", "code 456", "code 344",
                            "to D0 v=0 i=0 [00]"};

// The driver answers the matching call with `status` as its status word.
void answerStatus(int32_t camera, int32_t code, int32_t status, int32_t request = TARVEX_SIM_ANY) {
    tarvex_sim_fault fault{};
    fault.kind = TARVEX_SIM_FAULT_STATUS;
    fault.code = code;
    fault.request = request;
    fault.nth = 1;
    fault.count = 1;
    fault.status = status;
    ASSERT_EQ(0, tarvex_sim_add_fault(camera, &fault));
}

// The result of the last TarvexTransfer as the library recorded it.
int32_t lastTransferResult(CameraHandle handle) {
    int32_t selector = 2;
    uint32_t answer = 0xDEADBEEF;
    CommandQuery query{14, &selector, 4, &answer, 4, nullptr};
    uint32_t size = sizeof query;
    EXPECT_EQ(0, TarvexCommand(handle, 256, &query, &size));
    return static_cast<int32_t>(answer);
}

Lines withSuffix(Lines lines, size_t at, const std::string& suffix) {
    lines[at] += suffix;
    return lines;
}

class StreamTest : public SimCameraTest {
protected:
    void SetUp() override {
        SimCameraTest::SetUp();
        camera_ = attach("UA");
        handle_ = open(camera_);
    }

    // What EndTarvex sends shows whether the library counts the stream as
    // running: the stop sequence, or nothing at all.
    bool closesAsStreaming() {
        clearLog(camera_);
        EXPECT_EQ(0, close(handle_));
        Lines lines = traffic(camera_);
        EXPECT_TRUE(lines == Lines{"close"} || lines.size() == StopSequence.size() + 1)
            << ::testing::PrintToString(lines);
        return lines.size() > 1;
    }

    int32_t camera_ = 0;
    CameraHandle handle_ = nullptr;
};

TEST_F(StreamTest, StartArmsTheFullFrameAndSwitchesAcquisitionOn) {
    EXPECT_EQ(0, TarvexStartSnap(handle_));
    EXPECT_EQ(StartSequence, traffic(camera_));
    EXPECT_EQ(1, property(camera_, TARVEX_SIM_PROP_STREAMING));
    EXPECT_EQ(1310720, property(camera_, TARVEX_SIM_PROP_ARMED_BYTES));
    EXPECT_TRUE(closesAsStreaming());
}

TEST_F(StreamTest, StopSwitchesOffAndStopsTheDriverStream) {
    ASSERT_EQ(0, TarvexStartSnap(handle_));
    clearLog(camera_);
    EXPECT_EQ(0, TarvexStopSnap(handle_));
    EXPECT_EQ(StopSequence, traffic(camera_));
    EXPECT_EQ(0, property(camera_, TARVEX_SIM_PROP_STREAMING));
    EXPECT_FALSE(closesAsStreaming());
}

TEST_F(StreamTest, AbortIsTheStopUnderASecondName) {
    ASSERT_EQ(0, TarvexStartSnap(handle_));
    clearLog(camera_);
    EXPECT_EQ(0, TarvexAbortSnap(handle_));
    EXPECT_EQ(StopSequence, traffic(camera_));
    EXPECT_FALSE(closesAsStreaming());
}

TEST_F(StreamTest, StoppingACameraThatDoesNotStreamRunsTheStopSequenceAnyway) {
    EXPECT_EQ(0, TarvexStopSnap(handle_));
    EXPECT_EQ(StopSequence, traffic(camera_));
}

TEST_F(StreamTest, InvalidHandleSendsNothing) {
    uint32_t count = 0;
    uint8_t frame[4];
    int32_t lastError = 0;
    for (CameraHandle bad : {static_cast<CameraHandle>(nullptr), static_cast<CameraHandle>(frame)}) {
        EXPECT_EQ(ERR_INVALID_HANDLE, TarvexStartSnap(bad));
        EXPECT_EQ(ERR_INVALID_HANDLE, TarvexStopSnap(bad));
        EXPECT_EQ(ERR_INVALID_HANDLE, TarvexAbortSnap(bad));
        EXPECT_EQ(ERR_INVALID_HANDLE, TarvexTransfer(bad, frame, &count));
        EXPECT_EQ(ERR_INVALID_HANDLE, TarvexGetLastError(bad, &lastError));
    }
    EXPECT_TRUE(traffic(camera_).empty());
}

// Each step of the start failing in turn: every step is still sent, the
// result is ERR_DRIVER_CALL, the stream does not count as started, and the
// new frame size is kept.
struct StartFailure {
    const char* name;
    int32_t code;
    int32_t request;
    bool negativeStatus;  // the call succeeds with a negative status word
    size_t step;
};

class StartFailureTest : public StreamTest, public ::testing::WithParamInterface<StartFailure> {};

TEST_P(StartFailureTest, SendsEveryStepAndKeepsTheStreamStopped) {
    const StartFailure& failure = GetParam();
    ASSERT_EQ(0, TarvexSetOutputWindow(handle_, 0, 0, 640, 480));
    if (failure.negativeStatus) {
        answerStatus(camera_, failure.code, -5);
    } else {
        fail(camera_, failure.code, failure.request);
    }
    clearLog(camera_);
    EXPECT_EQ(ERR_DRIVER_CALL, TarvexStartSnap(handle_));

    Lines expected = {"to D0 v=0 i=0 [00]", "code 340 (307200)", "to BC v=1 i=0 [01]"};
    if (!failure.negativeStatus) expected = withSuffix(expected, failure.step, " !31");
    EXPECT_EQ(expected, traffic(camera_));

    // The frame size was fixed before the failing start: the next read asks
    // for it (whether the camera, half started, delivers is its own affair).
    uint32_t count = 0;
    std::vector<uint8_t> frame(307200);
    clearLog(camera_);
    TarvexTransfer(handle_, frame.data(), &count);
    EXPECT_EQ(0u, traffic(camera_).at(1).rfind("code 350 n=307200", 0));
    EXPECT_FALSE(closesAsStreaming());
}

INSTANTIATE_TEST_SUITE_P(EachStep, StartFailureTest,
                         ::testing::Values(StartFailure{"FramingReset", 9, 0xD0, false, 0},
                                           StartFailure{"StreamArmCall", 340, TARVEX_SIM_ANY, false, 1},
                                           StartFailure{"StreamArmStatus", 340, TARVEX_SIM_ANY, true, 1},
                                           StartFailure{"AcquisitionOn", 9, 0xBC, false, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(StreamTest, AFailedStartLeavesARunningStreamRunning) {
    ASSERT_EQ(0, TarvexStartSnap(handle_));
    fail(camera_, 9, 0xBC);
    EXPECT_EQ(ERR_DRIVER_CALL, TarvexStartSnap(handle_));
    EXPECT_TRUE(closesAsStreaming());
}

// Each step of the stop failing in turn.
struct StopFailure {
    const char* name;
    int32_t code;
    int32_t request;
    bool negativeStatus;
    size_t step;
};

class StopFailureTest : public StreamTest, public ::testing::WithParamInterface<StopFailure> {};

TEST_P(StopFailureTest, SendsEveryStepAndKeepsTheStreamRunning) {
    const StopFailure& failure = GetParam();
    ASSERT_EQ(0, TarvexStartSnap(handle_));
    if (failure.negativeStatus) {
        answerStatus(camera_, failure.code, -5);
    } else {
        fail(camera_, failure.code, failure.request);
    }
    clearLog(camera_);
    EXPECT_EQ(ERR_DRIVER_CALL, TarvexStopSnap(handle_));
    Lines expected = StopSequence;
    if (!failure.negativeStatus) expected = withSuffix(expected, failure.step, " !31");
    EXPECT_EQ(expected, traffic(camera_));
    EXPECT_TRUE(closesAsStreaming());
}

INSTANTIATE_TEST_SUITE_P(EachStep, StopFailureTest,
                         ::testing::Values(StopFailure{"AcquisitionOff", 9, 0xBC, false, 0},
                                           StopFailure{"AbortCall", 320, TARVEX_SIM_ANY, false, 1},
                                           StopFailure{"AbortStatus", 320, TARVEX_SIM_ANY, true, 1},
                                           StopFailure{"StopCall", 344, TARVEX_SIM_ANY, false, 3},
                                           StopFailure{"StopStatus", 344, TARVEX_SIM_ANY, true, 3},
                                           StopFailure{"FramingReset", 9, 0xD0, false, 4}),
                         [](const auto& info) { return std::string(info.param.name); });

// The pipe reset (code 20) follows only a transaction error or babble; the
// transfer status never changes the stop's result.
struct ResetCase {
    uint32_t transferStatus;
    bool resets;
};

class StopResetTest : public StreamTest, public ::testing::WithParamInterface<ResetCase> {};

TEST_P(StopResetTest, ResetsThePipeOnlyOnTransactionErrorOrBabble) {
    const ResetCase& c = GetParam();
    ASSERT_EQ(
        0, tarvex_sim_set(camera_, TARVEX_SIM_PROP_TRANSFER_STATUS, static_cast<int32_t>(c.transferStatus)));
    EXPECT_EQ(0, TarvexStopSnap(handle_));
    Lines expected = StopSequence;
    if (c.resets) expected.insert(expected.begin() + 3, "code 20 (1)");
    EXPECT_EQ(expected, traffic(camera_));
}

INSTANTIATE_TEST_SUITE_P(TransferStatuses, StopResetTest,
                         ::testing::Values(ResetCase{0xC0000011u, true}, ResetCase{0xC0000012u, true},
                                           ResetCase{0xC0000010u, false}, ResetCase{0xC0000013u, false},
                                           ResetCase{0x40000011u, false}, ResetCase{0, false},
                                           ResetCase{7, false}));

TEST_F(StreamTest, AFailedStatusQueryInTheStopMakesNoResetAndNoFailure) {
    ASSERT_EQ(0, tarvex_sim_set(camera_, TARVEX_SIM_PROP_TRANSFER_STATUS, static_cast<int32_t>(0xC0000011u)));
    fail(camera_, 456);
    EXPECT_EQ(0, TarvexStopSnap(handle_));
    EXPECT_EQ(withSuffix(StopSequence, 2, " !31"), traffic(camera_));
}

TEST_F(StreamTest, AResetThatFailsDoesNotFailTheStop) {
    ASSERT_EQ(0, tarvex_sim_set(camera_, TARVEX_SIM_PROP_TRANSFER_STATUS, static_cast<int32_t>(0xC0000012u)));
    fail(camera_, 20);
    EXPECT_EQ(0, TarvexStopSnap(handle_));
    Lines expected = StopSequence;
    expected.insert(expected.begin() + 3, "code 20 (1) !31");
    EXPECT_EQ(expected, traffic(camera_));
}

// Nothing stops a transfer before the first start: it asks for 0 bytes (so
// a null buffer is fine), and the camera, which does not acquire, refuses.
TEST_F(StreamTest, TransferBeforeAnyStartAsksForNoBytes) {
    uint32_t count = 99;
    EXPECT_EQ(ERR_DRIVER_CALL, TarvexTransfer(handle_, nullptr, &count));
    EXPECT_EQ((Lines{"code 456", "code 350 !31"}), traffic(camera_));
    EXPECT_EQ(ERR_DRIVER_CALL, lastTransferResult(handle_));
}

TEST_F(StreamTest, TransferDeliversOneFrameIntoTheCallersBuffer) {
    ASSERT_EQ(0, TarvexStartSnap(handle_));
    std::vector<uint8_t> frame(1310720, 0xEE);
    uint32_t count = 0;
    clearLog(camera_);
    EXPECT_EQ(0, TarvexTransfer(handle_, frame.data(), &count));
    EXPECT_EQ((Lines{"code 456", "code 350 n=1310720"}), traffic(camera_));
    EXPECT_EQ(1310720u, count);
    EXPECT_EQ(1, property(camera_, TARVEX_SIM_PROP_FRAMES_DELIVERED));
    EXPECT_EQ(0, lastTransferResult(handle_));
}

TEST_F(StreamTest, APositiveTransferStatusIsTheResult) {
    ASSERT_EQ(0, TarvexStartSnap(handle_));
    ASSERT_EQ(0, tarvex_sim_set(camera_, TARVEX_SIM_PROP_TRANSFER_STATUS, 7));
    std::vector<uint8_t> frame(1310720);
    uint32_t count = 0;
    EXPECT_EQ(7, TarvexTransfer(handle_, frame.data(), &count));
    EXPECT_EQ(7, lastTransferResult(handle_));
}

TEST_F(StreamTest, ANegativeTransferStatusPassesThroughWithoutARead) {
    ASSERT_EQ(0, TarvexStartSnap(handle_));
    ASSERT_EQ(0, tarvex_sim_set(camera_, TARVEX_SIM_PROP_TRANSFER_STATUS, static_cast<int32_t>(0xC0000011u)));
    std::vector<uint8_t> frame(16, 0xEE);
    uint32_t count = 12345;
    clearLog(camera_);
    EXPECT_EQ(-1073741807, TarvexTransfer(handle_, frame.data(), &count));
    EXPECT_EQ(Lines{"code 456"}, traffic(camera_));
    EXPECT_EQ(12345u, count);
    EXPECT_EQ(std::vector<uint8_t>(16, 0xEE), frame);
    EXPECT_EQ(-1073741807, lastTransferResult(handle_));
}

TEST_F(StreamTest, AFailedStatusQueryGivesStatusQueryWithoutARead) {
    ASSERT_EQ(0, TarvexStartSnap(handle_));
    std::vector<uint8_t> frame(1310720);
    uint32_t count = 12345;
    for (bool shortAnswer : {false, true}) {
        if (shortAnswer) {
            shortCount(camera_, 456);
        } else {
            fail(camera_, 456);
        }
        clearLog(camera_);
        EXPECT_EQ(ERR_STATUS_QUERY, TarvexTransfer(handle_, frame.data(), &count));
        EXPECT_EQ(1u, traffic(camera_).size());
        EXPECT_EQ(12345u, count);
        EXPECT_EQ(ERR_STATUS_QUERY, lastTransferResult(handle_));
    }
}

TEST_F(StreamTest, AFailedFrameReadGivesDriverCall) {
    ASSERT_EQ(0, TarvexStartSnap(handle_));
    fail(camera_, 350);
    std::vector<uint8_t> frame(1310720);
    uint32_t count = 0;
    clearLog(camera_);
    EXPECT_EQ(ERR_DRIVER_CALL, TarvexTransfer(handle_, frame.data(), &count));
    EXPECT_EQ((Lines{"code 456", "code 350 n=1310720 !31"}), traffic(camera_));
    EXPECT_EQ(ERR_DRIVER_CALL, lastTransferResult(handle_));
}

TEST_F(StreamTest, AShortFrameShowsOnlyInTheByteCount) {
    ASSERT_EQ(0, TarvexStartSnap(handle_));
    shortCount(camera_, 350);
    std::vector<uint8_t> frame(1310720);
    uint32_t count = 0;
    EXPECT_EQ(0, TarvexTransfer(handle_, frame.data(), &count));
    EXPECT_EQ(1310719u, count);
}

TEST_F(StreamTest, NullPointersAreRefusedWithNothingSent) {
    ASSERT_EQ(0, TarvexStartSnap(handle_));
    std::vector<uint8_t> frame(1310720);
    uint32_t count = 0;
    clearLog(camera_);
    EXPECT_EQ(ERR_OUT_OF_RANGE, TarvexTransfer(handle_, nullptr, &count));
    EXPECT_EQ(ERR_OUT_OF_RANGE, TarvexTransfer(handle_, frame.data(), nullptr));
    EXPECT_EQ(ERR_OUT_OF_RANGE, TarvexGetLastError(handle_, nullptr));
    EXPECT_TRUE(traffic(camera_).empty());
    EXPECT_EQ(0, lastTransferResult(handle_));
}

TEST_F(StreamTest, TheFrameSizeFollowsTheWindowOnlyAtTheNextStart) {
    ASSERT_EQ(0, TarvexStartSnap(handle_));
    ASSERT_EQ(0, TarvexSetOutputWindow(handle_, 0, 0, 640, 480));
    std::vector<uint8_t> frame(1310720);
    uint32_t count = 0;
    clearLog(camera_);
    EXPECT_EQ(0, TarvexTransfer(handle_, frame.data(), &count));
    EXPECT_EQ((Lines{"code 456", "code 350 n=1310720"}), traffic(camera_));

    ASSERT_EQ(0, TarvexStopSnap(handle_));
    clearLog(camera_);
    ASSERT_EQ(0, TarvexStartSnap(handle_));
    EXPECT_EQ("code 340 (307200)", traffic(camera_).at(1));
    clearLog(camera_);
    EXPECT_EQ(0, TarvexTransfer(handle_, frame.data(), &count));
    EXPECT_EQ((Lines{"code 456", "code 350 n=307200"}), traffic(camera_));
    EXPECT_EQ(307200u, count);
}

TEST_F(StreamTest, AFailedWindowWriteDoesNotChangeTheFrameSize) {
    fail(camera_, 9, 0xB0);
    EXPECT_EQ(ERR_REQUEST_FAILED, TarvexSetOutputWindow(handle_, 0, 0, 640, 480));
    clearLog(camera_);
    ASSERT_EQ(0, TarvexStartSnap(handle_));
    EXPECT_EQ(StartSequence, traffic(camera_));
}

TEST_F(StreamTest, LastErrorIsTheDriversWord) {
    ASSERT_EQ(0, tarvex_sim_set(camera_, TARVEX_SIM_PROP_LAST_ERROR, -42));
    int32_t lastError = 0;
    EXPECT_EQ(0, TarvexGetLastError(handle_, &lastError));
    EXPECT_EQ(-42, lastError);
    EXPECT_EQ(Lines{"code 452"}, traffic(camera_));
}

TEST_F(StreamTest, AFailedOrShortLastErrorQueryGivesStatusQuery) {
    int32_t lastError = 0;
    fail(camera_, 452);
    EXPECT_EQ(ERR_STATUS_QUERY, TarvexGetLastError(handle_, &lastError));
    shortCount(camera_, 452);
    EXPECT_EQ(ERR_STATUS_QUERY, TarvexGetLastError(handle_, &lastError));
}

}  // namespace
