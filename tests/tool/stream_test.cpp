// tarvex stream: the frames asked for, the rate, failed transfers counted by
// status, frames kept by a numbered name, and Ctrl-C leaving the camera at rest.
#include <algorithm>
#include <atomic>
#include <filesystem>
#include <thread>

#include "frame_files.h"
#include "tool_fixture.h"

namespace tarvex_test {

namespace {

class StreamTest : public ToolTest {
protected:
    static size_t count(const std::vector<std::string>& lines, const std::string& prefix) {
        return static_cast<size_t>(
            std::count_if(lines.begin(), lines.end(),
                          [&prefix](const std::string& line) { return line.rfind(prefix, 0) == 0; }));
    }

    // The traffic from the tool's start of the stream on.
    static std::vector<std::string> fromStart(int32_t camera) {
        std::vector<std::string> lines = traffic(camera);
        lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(findLine(lines, "code 340")));
        return lines;
    }

    void expectStoppedAndClosed(int32_t camera, const std::vector<std::string>& lines) {
        EXPECT_TRUE(inOrder(lines, {"to BC v=0", "code 320 (1)", "code 344", "to D0", "close"},
                            lines.size() >= 8 ? lines.size() - 8 : 0));
        EXPECT_EQ("close", lines.back());
        EXPECT_EQ(0, property(camera, TARVEX_SIM_PROP_STREAMING));
        EXPECT_EQ(0, property(camera, TARVEX_SIM_PROP_OPEN_HANDLES));
    }

    static tarvex_sim_fault fault(int32_t kind, int32_t code, uint32_t nth, uint32_t times,
                                  int32_t status = 0) {
        tarvex_sim_fault f{};
        f.kind = kind;
        f.code = code;
        f.request = TARVEX_SIM_ANY;
        f.nth = nth;
        f.count = times;
        f.status = status;
        return f;
    }
};

TEST_F(StreamTest, FetchesTheFramesAskedForAndPrintsTheRate) {
    int32_t camera = attach("UA");
    clearLog(camera);
    ToolRun result = run({"stream", "--frames", "7", "--mode", "1"});
    ASSERT_EQ(0, result.status) << result;
    EXPECT_NE(std::string::npos, result.out.find("7 frames of 640 x 512 in ")) << result;
    EXPECT_NE(std::string::npos, result.out.find(" fps, ")) << result;
    EXPECT_NE(std::string::npos, result.out.find(" MB/s")) << result;
    std::vector<std::string> lines = fromStart(camera);
    EXPECT_EQ("code 340 (327680)", lines.front());
    EXPECT_EQ(7u, count(lines, "code 350 n=327680"));
    EXPECT_EQ(7, property(camera, TARVEX_SIM_PROP_FRAMES_DELIVERED));
    expectStoppedAndClosed(camera, lines);
}

TEST_F(StreamTest, SnapshotStreamTriggersEveryFrame) {
    int32_t camera = attach("UA");
    clearLog(camera);
    ASSERT_EQ(0, run({"stream", "--frames", "3", "--mode", "2", "--snapshot"}).status);
    std::vector<std::string> lines = fromStart(camera);
    EXPECT_EQ(3u, count(lines, "to B0 v=3 i=0 [0B"));
    EXPECT_TRUE(inOrder(lines, {"to B0 v=3 i=0 [0B", "code 350", "to B0 v=3 i=0 [0B", "code 350",
                                "to B0 v=3 i=0 [0B", "code 350"}));
}

TEST_F(StreamTest, FailedTransfersAreSummedUpByStatus) {
    int32_t camera = attach("UA");
    // Status queries: the first belongs to the open's stop sequence, the
    // (k+1)-th to transfer k. Transfers 2 and 3 fail their frame read,
    // transfer 6 sees babble, transfer 8 a failed status query.
    tarvex_sim_fault faults[] = {
        fault(TARVEX_SIM_FAULT_FAIL, 350, 2, 2),
        fault(TARVEX_SIM_FAULT_STATUS, 456, 7, 1, -1073741806),
        fault(TARVEX_SIM_FAULT_FAIL, 456, 9, 1),
    };
    for (const tarvex_sim_fault& f : faults) ASSERT_EQ(0, tarvex_sim_add_fault(camera, &f));
    clearLog(camera);

    ToolRun result = run({"stream", "--frames", "10", "--mode", "2"});

    EXPECT_EQ(1, result.status) << result;
    EXPECT_NE(std::string::npos, result.out.find("6 frames of 320 x 256")) << result;
    EXPECT_NE(std::string::npos, result.out.find("4 failed transfers:")) << result;
    EXPECT_NE(std::string::npos, result.out.find("2 x ERR_DRIVER_CALL (-9)")) << result;
    EXPECT_NE(std::string::npos, result.out.find("1 x USBD_STATUS_BABBLE_DETECTED (-1073741806)")) << result;
    EXPECT_NE(std::string::npos, result.out.find("1 x ERR_STATUS_QUERY (-17)")) << result;
    std::vector<std::string> lines = fromStart(camera);
    EXPECT_EQ(10u, count(lines, "code 456") - 1);  // and one in the stop sequence
    expectStoppedAndClosed(camera, lines);
}

TEST_F(StreamTest, JsonSummaryCountsFailuresByStatus) {
    int32_t camera = attach("UA");
    tarvex_sim_fault f = fault(TARVEX_SIM_FAULT_FAIL, 350, 1, 1);
    ASSERT_EQ(0, tarvex_sim_add_fault(camera, &f));
    ToolRun result = run({"stream", "--frames", "3", "--mode", "2", "--json"});
    EXPECT_EQ(1, result.status) << result;
    EXPECT_NE(std::string::npos, result.out.find("\"transfers\":3,\"frames\":2,")) << result;
    EXPECT_NE(std::string::npos,
              result.out.find("\"failures\":[{\"status\":-9,\"name\":\"ERR_DRIVER_CALL\","))
        << result;
    EXPECT_EQ(std::string::npos, result.err.find("fps")) << "no progress line with --json";
}

TEST_F(StreamTest, GivesUpOnACameraThatFailsEveryTransfer) {
    int32_t camera = attach("UA");
    tarvex_sim_fault f = fault(TARVEX_SIM_FAULT_FAIL, 350, 1, 0);
    ASSERT_EQ(0, tarvex_sim_add_fault(camera, &f));
    clearLog(camera);
    ToolRun result = run({"stream", "--frames", "1000", "--mode", "2"});
    EXPECT_EQ(1, result.status) << result;
    EXPECT_NE(std::string::npos, result.err.find("stopped after 50 failed transfers in a row")) << result;
    std::vector<std::string> lines = fromStart(camera);
    EXPECT_EQ(50u, count(lines, "code 350"));
    expectStoppedAndClosed(camera, lines);
}

TEST_F(StreamTest, FailedStopIsReportedAfterTheSummary) {
    int32_t camera = attach("UA");
    // Code 344 ends the stop sequence: the open's stop makes the first call.
    tarvex_sim_fault f = fault(TARVEX_SIM_FAULT_FAIL, 344, 2, 1);
    ASSERT_EQ(0, tarvex_sim_add_fault(camera, &f));
    ToolRun result = run({"stream", "--frames", "3", "--mode", "2"});
    EXPECT_EQ(1, result.status) << result;
    EXPECT_NE(std::string::npos, result.out.find("3 frames of 320 x 256")) << result;
    EXPECT_NE(std::string::npos, result.err.find("TarvexStopSnap failed: ERR_DRIVER_CALL (-9)")) << result;
    EXPECT_EQ(0, property(camera, TARVEX_SIM_PROP_OPEN_HANDLES));
}

TEST_F(StreamTest, SavesEveryKthFrameUnderItsNumber) {
    int32_t camera = attach("UA");
    ToolRun result =
        run({"stream", "--frames", "10", "--mode", "2", "--save", file("frame-%03d.pgm"), "--every", "3"});
    ASSERT_EQ(0, result.status) << result;
    uint32_t firstNumber = 0;
    for (int frame = 1; frame <= 10; ++frame) {
        char name[32];
        std::snprintf(name, sizeof name, "frame-%03d.pgm", frame);
        bool kept = (frame - 1) % 3 == 0;
        ASSERT_EQ(kept, std::filesystem::exists(file(name))) << name;
        if (!kept) continue;
        Picture picture = readPgm(file(name));
        uint32_t number = 0;
        ASSERT_TRUE(
            tarvex::sim::readFrameCounter(picture.pixels.data(), picture.width, picture.height, number));
        if (frame == 1) firstNumber = number;
        // The file of transfer k holds the camera's k-th frame.
        EXPECT_EQ(firstNumber + static_cast<uint32_t>(frame - 1), number) << name;
        EXPECT_EQ(0u, differentPixels(
                          expectedFrame(camera, {.width = 320, .height = 256, .scale = 4}, number), picture))
            << name;
    }
}

TEST_F(StreamTest, CtrlCStopsTheStreamAndClosesTheCamera) {
    int32_t camera = attach("UA");
    clearLog(camera);
    std::atomic<bool> done{false};
    // Ctrl-C as the signal handler gives it: the flag, raised mid-stream.
    std::thread interrupter([camera, &done] {
        int64_t frames = 0;
        while (!done && (tarvex_sim_get(camera, TARVEX_SIM_PROP_FRAMES_DELIVERED, &frames), frames < 5))
            std::this_thread::yield();
        tarvex_tool::requestInterrupt();
    });
    ToolRun result = run({"stream", "--duration", "60", "--mode", "2"});
    done = true;
    interrupter.join();

    EXPECT_EQ(130, result.status) << result;
    EXPECT_NE(std::string::npos,
              result.err.find("interrupted; the stream was stopped and the camera closed"));
    EXPECT_NE(std::string::npos, result.out.find(" frames of 320 x 256 in ")) << "the summary still comes";
    expectStoppedAndClosed(camera, fromStart(camera));
}

}  // namespace
}  // namespace tarvex_test
