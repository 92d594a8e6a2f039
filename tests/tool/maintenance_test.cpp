// tarvex reg, mem, firmware, eeprom, io, trigger and sync: what each sends,
// and what lands in the camera.
#include <string>

#include "tool_fixture.h"

namespace tarvex_test {
namespace {

class MaintenanceTest : public ToolTest {
protected:
    void SetUp() override {
        ToolTest::SetUp();
        camera_ = attach("UA");
        clearLog(camera_);
    }

    // The traffic after the open's initial settings (the port's 0xD3 ends them).
    std::vector<std::string> commandTraffic() const {
        std::vector<std::string> lines = trafficWithoutPolls(camera_);
        lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(findLine(lines, "to D3") + 1));
        return lines;
    }

    std::vector<uint8_t> memory(int32_t which, uint32_t length) const {
        std::vector<uint8_t> bytes(length);
        tarvex_sim_read_memory(camera_, which, 0, bytes.data(), length);
        return bytes;
    }

    static std::string pattern(size_t length) {
        std::string bytes(length, '\0');
        for (size_t i = 0; i < length; ++i) bytes[i] = static_cast<char>(i * 7 + 3);
        return bytes;
    }

    static std::vector<uint8_t> asBytes(const std::string& text) { return {text.begin(), text.end()}; }

    int32_t camera_ = 0;
};

TEST_F(MaintenanceTest, RegisterReadShowsTheSensorsValues) {
    ToolRun result = run({"reg", "read", "0x08", "3"});
    ASSERT_EQ(0, result.status) << result;
    char expected[128];
    std::snprintf(expected, sizeof expected, "0x08 = 0x%04X  %u\n0x09 = 0x%04X  %u\n0x0A = 0x%04X  %u\n",
                  sensorRegister(camera_, 8), sensorRegister(camera_, 8), sensorRegister(camera_, 9),
                  sensorRegister(camera_, 9), sensorRegister(camera_, 10), sensorRegister(camera_, 10));
    EXPECT_EQ(expected, result.out);
    EXPECT_EQ((std::vector<std::string>{"to B0 v=1 i=0 [08]", "from B1 v=6 i=0 n=6", "close"}),
              commandTraffic());
}

TEST_F(MaintenanceTest, RegisterWriteSendsOneFrame) {
    ToolRun result = run({"reg", "write", "0x05", "0x10", "0x2345"});
    ASSERT_EQ(0, result.status) << result;
    EXPECT_EQ("Wrote 2 registers from 0x05\n", result.out);
    EXPECT_EQ(0x10, sensorRegister(camera_, 0x05));
    EXPECT_EQ(0x2345, sensorRegister(camera_, 0x06));
    EXPECT_EQ((std::vector<std::string>{"to B0 v=5 i=0 [05 00 10 23 45]", "close"}), commandTraffic());
}

TEST_F(MaintenanceTest, RegisterWriteOutsideTheMirroredMapIsRefused) {
    uint16_t before = sensorRegister(camera_, 0x07);
    ToolRun result = run({"reg", "write", "0x07", "1", "2", "3"});
    EXPECT_EQ(1, result.status);
    EXPECT_NE(std::string::npos, result.err.find("TarvexI2CWrite failed: ERR_OUT_OF_RANGE (-13)")) << result;
    EXPECT_EQ(before, sensorRegister(camera_, 0x07));
    EXPECT_EQ((std::vector<std::string>{"close"}), commandTraffic());
}

TEST_F(MaintenanceTest, MemoryReadIsAHexDump) {
    const char text[] = "Hello, camera! 0123";
    ASSERT_EQ(19, tarvex_sim_write_memory(camera_, TARVEX_SIM_MEM_DEVICE, 0x10, text, 19));
    ToolRun result = run({"mem", "read", "0x10", "19"});
    ASSERT_EQ(0, result.status) << result;
    EXPECT_EQ(
        "0010  48 65 6C 6C 6F 2C 20 63  61 6D 65 72 61 21 20 30  |Hello, camera! 0|\n"
        "0020  31 32 33                                          |123|\n",
        result.out);
    EXPECT_EQ((std::vector<std::string>{"from BB v=19 i=16 n=19", "close"}), commandTraffic());
}

TEST_F(MaintenanceTest, MemoryWriteGoesInChunksOf64) {
    writeFile("data.bin", pattern(130));
    ToolRun result = run({"mem", "write", "100", "--file", file("data.bin")});
    ASSERT_EQ(0, result.status) << result;
    std::vector<uint8_t> device(230);
    tarvex_sim_read_memory(camera_, TARVEX_SIM_MEM_DEVICE, 0, device.data(), 230);
    EXPECT_EQ(asBytes(pattern(130)), std::vector<uint8_t>(device.begin() + 100, device.end()));
    std::vector<std::string> lines = commandTraffic();
    EXPECT_TRUE(inOrder(lines, {"to BA v=64 i=100", "to BA v=64 i=164", "to BA v=2 i=228", "close"}));
}

TEST_F(MaintenanceTest, MemoryWriteOfBytesOnTheCommandLine) {
    ASSERT_EQ(0, run({"mem", "write", "1021", "0x12", "52", "0xFF"}).status);
    uint8_t bytes[3] = {};
    tarvex_sim_read_memory(camera_, TARVEX_SIM_MEM_DEVICE, 1021, bytes, 3);
    EXPECT_EQ(0x12, bytes[0]);
    EXPECT_EQ(52, bytes[1]);
    EXPECT_EQ(0xFF, bytes[2]);
}

TEST_F(MaintenanceTest, FirmwareHoldsDownloadsAndRuns) {
    writeFile("firmware.bin", pattern(130));
    ToolRun result = run({"firmware", file("firmware.bin")});
    ASSERT_EQ(0, result.status) << result;
    EXPECT_NE(std::string::npos, result.out.find("binary, 130 bytes")) << result;
    EXPECT_NE(std::string::npos, result.out.find("Downloading 130 bytes in 3 chunks of 64 ... done"))
        << result;
    EXPECT_EQ(asBytes(pattern(130)), memory(TARVEX_SIM_MEM_CONTROLLER, 130));
    EXPECT_EQ(130, property(camera_, TARVEX_SIM_PROP_FIRMWARE_BYTES));
    EXPECT_EQ(0, property(camera_, TARVEX_SIM_PROP_CPU_HELD));
    std::vector<std::string> lines = commandTraffic();
    ASSERT_EQ(6u, lines.size());
    EXPECT_EQ("cpu 1", lines[0]);
    EXPECT_EQ("to A0 v=0 i=0 ", lines[1].substr(0, 14));
    EXPECT_EQ("to A0 v=64 i=0 ", lines[2].substr(0, 15));
    EXPECT_EQ("to A0 v=128 i=0 [83 8A]", lines[3]);
    EXPECT_EQ("cpu 0", lines[4]);
    EXPECT_EQ("close", lines[5]);
}

TEST_F(MaintenanceTest, FirmwareFromIntelHex) {
    // Four bytes at 0x0000, two at 0x0010 (after an extended linear address
    // of 0), a start address record, the end.
    writeFile("firmware.hex",
              ":020000040000FA\n"
              ":0400000002003FC8F3\r\n"
              ":02001000AA55EF\n"
              ":0400000500000000F7\n"
              ":00000001FF\n");
    ToolRun result = run({"firmware", file("firmware.hex")});
    ASSERT_EQ(0, result.status) << result;
    EXPECT_NE(std::string::npos, result.out.find("Intel HEX, 18 bytes (6 given, the gaps filled with 0x00)"))
        << result;
    std::vector<uint8_t> expected(18, 0);
    expected[0] = 0x02, expected[1] = 0x00, expected[2] = 0x3F, expected[3] = 0xC8;
    expected[16] = 0xAA, expected[17] = 0x55;
    EXPECT_EQ(expected, memory(TARVEX_SIM_MEM_CONTROLLER, 18));
    EXPECT_EQ(18, property(camera_, TARVEX_SIM_PROP_FIRMWARE_BYTES));
}

TEST_F(MaintenanceTest, FailedDownloadLeavesTheCpuHeld) {
    writeFile("firmware.bin", pattern(200));
    fail(camera_, 9, 0xA0, 2);
    ToolRun result = run({"firmware", file("firmware.bin")});
    EXPECT_EQ(1, result.status);
    EXPECT_NE(std::string::npos, result.err.find("TarvexAnchorDownload failed: ERR_REQUEST_FAILED (-7)"))
        << result;
    EXPECT_NE(std::string::npos, result.err.find("the controller's CPU is left held")) << result;
    EXPECT_EQ(1, property(camera_, TARVEX_SIM_PROP_CPU_HELD));
    std::vector<std::string> lines = commandTraffic();
    EXPECT_EQ(findLine(lines, "cpu 0"), lines.size()) << "the CPU is not run";
    EXPECT_EQ("close", lines.back());
}

TEST_F(MaintenanceTest, NoRunLeavesTheCpuHeld) {
    writeFile("firmware.bin", pattern(10));
    ASSERT_EQ(0, run({"firmware", "--no-run", file("firmware.bin")}).status);
    EXPECT_EQ(1, property(camera_, TARVEX_SIM_PROP_CPU_HELD));
}

TEST_F(MaintenanceTest, EepromImageInOneTransfer) {
    writeFile("eeprom.bin", pattern(100));
    ToolRun result = run({"eeprom", file("eeprom.bin")});
    ASSERT_EQ(0, result.status) << result;
    EXPECT_EQ(100, property(camera_, TARVEX_SIM_PROP_EEPROM_BYTES));
    EXPECT_EQ(asBytes(pattern(100)), memory(TARVEX_SIM_MEM_EEPROM, 100));
    std::vector<std::string> lines = commandTraffic();
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ("to A2 v=0 i=48879 ", lines[0].substr(0, 18));
}

struct OutputCase {
    const char* selector;
    const char* value;
    int64_t outputs;
};

class PortOutputTest : public MaintenanceTest, public ::testing::WithParamInterface<OutputCase> {};

TEST_P(PortOutputTest, SetsOneOutput) {
    ToolRun result = run({"io", "set", GetParam().selector, GetParam().value});
    ASSERT_EQ(0, result.status) << result;
    EXPECT_EQ(GetParam().outputs, property(camera_, TARVEX_SIM_PROP_PERIPHERAL_OUTPUTS));
    char line[16];
    std::snprintf(line, sizeof line, "to D1 v=%d", static_cast<int>(GetParam().outputs));
    EXPECT_EQ(0u, findLine(commandTraffic(), line));
}

INSTANTIATE_TEST_SUITE_P(Outputs, PortOutputTest,
                         ::testing::Values(OutputCase{"2", "1", 0x38}, OutputCase{"2", "0", 0x3C},
                                           OutputCase{"6", "1", 0x1C}, OutputCase{"0", "1", 0x3D},
                                           OutputCase{"0", "3", 0x3F}));

TEST_F(MaintenanceTest, PortActionHasNoValue) {
    int64_t before = property(camera_, TARVEX_SIM_PROP_PERIPHERAL_ACTIONS);
    ToolRun result = run({"io", "set", "4"});
    ASSERT_EQ(0, result.status) << result;
    EXPECT_EQ("Fired the port's action\n", result.out);
    EXPECT_EQ(before + 2, property(camera_, TARVEX_SIM_PROP_PERIPHERAL_ACTIONS)) << "the open's and this one";
}

TEST_F(MaintenanceTest, PortInputs) {
    struct {
        int64_t device;
        const char* shown;
    } cases[] = {{0x07, "inputs 0x01: in0=1 in1=0 in2=0\n"}, {0x00, "inputs 0x06: in0=0 in1=1 in2=1\n"}};
    for (const auto& c : cases) {
        ASSERT_EQ(0, tarvex_sim_set(camera_, TARVEX_SIM_PROP_PERIPHERAL_INPUTS, c.device));
        ToolRun result = run({"io", "get"});
        EXPECT_EQ(0, result.status) << result;
        EXPECT_EQ(c.shown, result.out);
    }
}

TEST_F(MaintenanceTest, PortOfAVariantOneCameraIsNotSupported) {
    tarvex_sim_detach_all();
    attach("S4");
    ToolRun result = run({"io", "get"});
    EXPECT_EQ(1, result.status);
    EXPECT_NE(std::string::npos, result.err.find("TarvexGetArriveStatus failed: ERR_NOT_SUPPORTED (-11)"))
        << result;
    EXPECT_NE(std::string::npos, result.err.find("variant 2")) << result;
}

TEST_F(MaintenanceTest, TriggerSendsTheSettingsThenFires) {
    ToolRun result = run({"trigger", "--snap-mode", "1", "--trigger-polarity", "0", "--strobe-polarity", "2",
                          "--snap-speed", "3", "--count", "2"});
    ASSERT_EQ(0, result.status) << result;
    EXPECT_EQ("Fired the trigger 2 times\n", result.out);
    std::vector<std::string> lines = commandTraffic();
    EXPECT_TRUE(inOrder(lines, {"to B0 v=3 i=0 [1E", "to B7 v=1", "to D0", "to B8 v=0", "to B9 v=2",
                                "to B6 v=3", "to B0 v=3 i=0 [0B", "to B0 v=3 i=0 [0B", "close"}));
}

TEST_F(MaintenanceTest, SyncSaysWhenTheLevelFell) {
    const uint8_t levels[] = {1, 1, 0};
    ASSERT_EQ(0, tarvex_sim_script_sync(camera_, levels, sizeof levels));
    ToolRun result = run({"sync"});
    ASSERT_EQ(0, result.status) << result;
    EXPECT_EQ("frame sync after ", result.out.substr(0, 17)) << result;
    EXPECT_EQ((std::vector<std::string>{"code 326 (0) n=1", "code 326 (0) n=1", "code 326 (0) n=1", "close"}),
              commandTraffic());
}

}  // namespace
}  // namespace tarvex_test
