// tarvex snap: the file holds the frame the camera delivered for the settings
// the command sent, and the camera is left closed and at rest on every path.
#include <filesystem>

#include "frame_files.h"
#include "tool_fixture.h"

namespace tarvex_test {
namespace {

class SnapTest : public ToolTest {
protected:
    void expectAtRest(int32_t camera) {
        EXPECT_EQ(0, property(camera, TARVEX_SIM_PROP_STREAMING));
        EXPECT_EQ(0, property(camera, TARVEX_SIM_PROP_OPEN_HANDLES));
    }
};

struct SnapCase {
    const char* name;
    std::vector<std::string> options;
    Readout readout;
};
void PrintTo(const SnapCase& c, std::ostream* out) {
    *out << c.name;
}

class SnapPictureTest : public SnapTest, public ::testing::WithParamInterface<SnapCase> {};

TEST_P(SnapPictureTest, PngHoldsTheDeliveredFrameOfTheWindow) {
    const SnapCase& c = GetParam();
    int32_t camera = attach("UA");
    clearLog(camera);
    std::vector<std::string> arguments{"snap", "-o", file("frame.png")};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());

    ToolRun result = run(arguments);

    ASSERT_EQ(0, result.status) << result;
    Picture png = readPng(file("frame.png"));
    const uint32_t width = c.readout.width, height = c.readout.height;
    ASSERT_EQ(width, png.width);
    ASSERT_EQ(height, png.height);
    uint32_t number = 0;
    ASSERT_TRUE(tarvex::sim::readFrameCounter(png.pixels.data(), png.width, png.height, number));
    EXPECT_EQ(0u, differentPixels(expectedFrame(camera, c.readout, number), png));
    EXPECT_EQ(1, property(camera, TARVEX_SIM_PROP_FRAMES_DELIVERED));
    EXPECT_EQ(width * height, property(camera, TARVEX_SIM_PROP_ARMED_BYTES));

    std::string bytes = std::to_string(width * height);
    std::vector<std::string> lines = traffic(camera);
    // Armed with the window's size, one frame of that size, stopped, closed.
    size_t start = findLine(lines, "code 340 (" + bytes + ")");
    EXPECT_TRUE(inOrder(lines,
                        {"to BC v=1", "code 456", "code 350 n=" + bytes, "to BC v=0", "code 320 (1)",
                         "code 344", "to D0", "close"},
                        start));
    EXPECT_EQ("close", lines.back());
    expectAtRest(camera);
    EXPECT_NE(std::string::npos, result.out.find(std::to_string(width) + " x " + std::to_string(height)));
}

INSTANTIATE_TEST_SUITE_P(
    Geometry, SnapPictureTest,
    ::testing::Values(
        SnapCase{"full", {}, {}},
        SnapCase{"half", {"--mode", "1"}, {.width = 640, .height = 512, .scale = 2}},
        SnapCase{"resolutionIsModeToo", {"--resolution", "1"}, {.width = 640, .height = 512, .scale = 2}},
        SnapCase{"quarter", {"--mode", "2"}, {.width = 320, .height = 256, .scale = 4}},
        SnapCase{"quarterWindow",
                 {"--mode", "2", "--window", "10,20,100,50"},
                 {.width = 100, .height = 50, .x = 10, .y = 20, .scale = 4}},
        SnapCase{"mirroredWindow",
                 {"--window", "100,200,64,48", "--mirror"},
                 {.width = 64, .height = 48, .x = 100, .y = 200, .mirror = true}},
        SnapCase{"brighter", {"--exposure", "2098", "--gain", "12"}, {.exposure = 2098, .gain = 12}},
        SnapCase{"snapshot", {"--mode", "1", "--snapshot"}, {.width = 640, .height = 512, .scale = 2}}),
    [](const ::testing::TestParamInfo<SnapCase>& info) { return std::string(info.param.name); });

TEST_F(SnapTest, SettingsReachTheSensorBeforeTheStreamStarts) {
    int32_t camera = attach("UA");
    ToolRun result = run({"snap",
                          "-o",
                          file("frame.png"),
                          "--mode",
                          "2",
                          "--window",
                          "10,20,100,50",
                          "--delay",
                          "-9,-25",
                          "--exposure",
                          "946",
                          "--exposure-delay",
                          "7",
                          "--gain",
                          "1,2,3,4",
                          "--adc-level",
                          "5,6,7,8",
                          "--adc-mode",
                          "3",
                          "--mirror"});
    ASSERT_EQ(0, result.status) << result;

    struct Expected {
        uint8_t address;
        uint16_t mask, value;
    } expected[] = {
        {0x01, 0xFFFF, 92},   {0x02, 0xFFFF, 60},     {0x03, 0xFFFF, 199}, {0x04, 0xFFFF, 399},
        {0x05, 0xFFFF, 0},    {0x06, 0xFFFF, 0},      {0x09, 0x3FFF, 946}, {0x0C, 0x07FF, 7},
        {0x2D, 0x007F, 1},    {0x2B, 0x007F, 2},      {0x2E, 0x007F, 3},   {0x2C, 0x007F, 4},
        {0x63, 0x01FF, 5},    {0x60, 0x01FF, 6},      {0x61, 0x01FF, 7},   {0x64, 0x01FF, 8},
        {0x1E, 0x000C, 0x0C}, {0x20, 0x8080, 0x8080},
    };
    for (const Expected& e : expected)
        EXPECT_EQ(e.value, sensorRegister(camera, e.address) & e.mask) << "register " << int(e.address);
    std::vector<std::string> lines = trafficWithoutPolls(camera);
    size_t armed = findLine(lines, "code 340 (5000)");
    EXPECT_TRUE(inOrder(lines, {"to B5 v=3"}, findLine(lines, "to D3")));
    EXPECT_LT(findLine(lines, "to B5 v=3", findLine(lines, "to D3")), armed);
}

TEST_F(SnapTest, SnapshotFiresTheTriggerAfterTheStart) {
    int32_t camera = attach("UA");
    clearLog(camera);
    ASSERT_EQ(0, run({"snap", "-o", file("frame.png"), "--snapshot", "2"}).status);
    std::vector<std::string> lines = trafficWithoutPolls(camera);
    EXPECT_TRUE(inOrder(lines,
                        {"to B7 v=2", "code 340", "to BC v=1", "to B0 v=3 i=0 [0B", "code 456", "code 350"},
                        findLine(lines, "to D3")));
}

TEST_F(SnapTest, PgmByItsExtension) {
    int32_t camera = attach("UA");
    ASSERT_EQ(0, run({"snap", "-o", file("frame.PGM"), "--mode", "2"}).status);
    Picture pgm = readPgm(file("frame.PGM"));
    ASSERT_EQ(320u, pgm.width);
    ASSERT_EQ(256u, pgm.height);
    uint32_t number = 0;
    ASSERT_TRUE(tarvex::sim::readFrameCounter(pgm.pixels.data(), pgm.width, pgm.height, number));
    EXPECT_EQ(0u,
              differentPixels(expectedFrame(camera, {.width = 320, .height = 256, .scale = 4}, number), pgm));
}

// A failing camera: the code's name, a non-zero exit, no file, and the stream
// stopped and the camera closed after the failure.
struct FailureCase {
    const char* name;
    tarvex_sim_fault fault;
    const char* message;
};
void PrintTo(const FailureCase& c, std::ostream* out) {
    *out << c.name;
}

class SnapFailureTest : public SnapTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(SnapFailureTest, ReportsTheCodeAndLeavesTheCameraAtRest) {
    int32_t camera = attach("UA");
    ASSERT_EQ(0, tarvex_sim_add_fault(camera, &GetParam().fault));
    clearLog(camera);

    ToolRun result = run({"snap", "-o", file("frame.png")});

    EXPECT_EQ(1, result.status) << result;
    EXPECT_NE(std::string::npos, result.err.find(GetParam().message)) << result;
    EXPECT_FALSE(std::filesystem::exists(file("frame.png")));
    std::vector<std::string> lines = traffic(camera);
    EXPECT_TRUE(inOrder(lines, {"code 340", "to BC v=0", "code 320 (1)", "code 344", "to D0", "close"}));
    EXPECT_EQ("close", lines.back());
    expectAtRest(camera);
}

tarvex_sim_fault fault(int32_t kind, int32_t code, uint32_t nth = 1, int32_t status = 0) {
    tarvex_sim_fault f{};
    f.kind = kind;
    f.code = code;
    f.request = TARVEX_SIM_ANY;
    f.nth = nth;
    f.count = 1;
    f.status = status;
    return f;
}

INSTANTIATE_TEST_SUITE_P(
    Faults, SnapFailureTest,
    ::testing::Values(FailureCase{"frameRead", fault(TARVEX_SIM_FAULT_FAIL, 350),
                                  "TarvexTransfer failed: ERR_DRIVER_CALL (-9)"},
                      // The open's stop sequence makes the first status query; the frame's is the second.
                      FailureCase{"transactionError", fault(TARVEX_SIM_FAULT_STATUS, 456, 2, -1073741807),
                                  "USBD_STATUS_XACT_ERROR (-1073741807)"},
                      FailureCase{"statusQuery", fault(TARVEX_SIM_FAULT_FAIL, 456, 2),
                                  "ERR_STATUS_QUERY (-17)"},
                      FailureCase{"shortFrame", fault(TARVEX_SIM_FAULT_SHORT, 350),
                                  "short frame: 1310719 of 1310720 bytes"},
                      // A start that fails is followed by a stop all the same: its steps were all sent.
                      FailureCase{"start", fault(TARVEX_SIM_FAULT_FAIL, 340),
                                  "TarvexStartSnap failed: ERR_DRIVER_CALL (-9)"}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

TEST_F(SnapTest, RefusedCameraNamesTheCode) {
    ToolRun result = run({"--sim", "XX", "snap", "-o", file("frame.png")});
    EXPECT_EQ(1, result.status) << result;
    EXPECT_NE(std::string::npos, result.err.find("BeginTarvex failed: ERR_UNRECOGNISED_DEVICE (-3)"))
        << result;
    EXPECT_FALSE(std::filesystem::exists(file("frame.png")));
    // The simulated camera of --sim is unplugged when the run ends.
    EXPECT_EQ(0, tarvex_sim_cameras(nullptr, 0));
}

TEST_F(SnapTest, InterruptedBeforeTheFrameStopsAndCloses) {
    int32_t camera = attach("UA");
    clearLog(camera);
    tarvex_tool::requestInterrupt();
    ToolRun result = run({"snap", "-o", file("frame.png")});
    EXPECT_EQ(130, result.status) << result;
    EXPECT_EQ(0, property(camera, TARVEX_SIM_PROP_FRAMES_DELIVERED));
    std::vector<std::string> lines = traffic(camera);
    EXPECT_TRUE(inOrder(lines, {"code 340", "to BC v=0", "code 344", "close"}));
    expectAtRest(camera);
}

}  // namespace
}  // namespace tarvex_test
