// Controller CPU, firmware and EEPROM images, device memory, sensor register
// ranges and the bulk pipe, seen from the simulated camera's log.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/sim_fixture.h"

namespace {

using tarvex_test::SimCameraTest;
using Lines = std::vector<std::string>;

constexpr const char* POLL = "from B4 v=1 i=0 n=1";

std::vector<uint8_t> pattern(size_t length, uint8_t seed = 0) {
    std::vector<uint8_t> bytes(length);
    for (size_t i = 0; i < length; ++i) bytes[i] = static_cast<uint8_t>(seed + i * 7 + (i >> 8));
    return bytes;
}

class MaintenanceTest : public SimCameraTest {
protected:
    void SetUp() override {
        SimCameraTest::SetUp();
        camera_ = attach("UA");
        handle_ = open(camera_);
        ASSERT_NE(nullptr, handle_);
    }

    std::vector<uint8_t> memory(int32_t which, uint32_t offset, uint32_t length) {
        std::vector<uint8_t> bytes(length);
        EXPECT_EQ(static_cast<int32_t>(length),
                  tarvex_sim_read_memory(camera_, which, offset, bytes.data(), length));
        return bytes;
    }

    // The vendor requests of one code, with their value, index and length.
    struct Sent {
        uint16_t value, index;
        uint32_t length;
        bool operator==(const Sent&) const = default;
    };
    std::vector<Sent> sent(uint8_t request) {
        std::vector<Sent> found;
        for (const tarvex_sim_call& call : calls(camera_)) {
            if ((call.code == 6 || call.code == 9) && call.request == request) {
                found.push_back({call.value, call.index, call.out_size});
            }
        }
        return found;
    }

    int32_t camera_ = 0;
    CameraHandle handle_ = nullptr;
};

// ---- Controller CPU and firmware download ----------------------------------------

TEST_F(MaintenanceTest, HoldAndRunSendTheCpuByte) {
    EXPECT_EQ(0, Tarvex8051Hold(handle_));
    EXPECT_EQ(1, property(camera_, TARVEX_SIM_PROP_CPU_HELD));
    EXPECT_EQ(0, Tarvex8051Run(handle_));
    EXPECT_EQ(0, property(camera_, TARVEX_SIM_PROP_CPU_HELD));
    EXPECT_EQ(traffic(camera_), (Lines{"cpu 1", "cpu 0"}));
}

TEST_F(MaintenanceTest, FailedCpuByteIsReported) {
    fail(camera_, 12);
    EXPECT_EQ(ERR_REQUEST_FAILED, Tarvex8051Hold(handle_));
    fail(camera_, 12);
    EXPECT_EQ(ERR_REQUEST_FAILED, Tarvex8051Run(handle_));
}

TEST_F(MaintenanceTest, DownloadedFirmwareReadsBackByteForByte) {
    const std::vector<uint8_t> image = pattern(5000, 3);
    EXPECT_EQ(0, Tarvex8051Hold(handle_));
    EXPECT_EQ(0, TarvexAnchorDownload(handle_, image.data(), static_cast<uint32_t>(image.size())));
    EXPECT_EQ(0, Tarvex8051Run(handle_));
    EXPECT_EQ(image, memory(TARVEX_SIM_MEM_CONTROLLER, 0, 5000));
    EXPECT_EQ(5000, property(camera_, TARVEX_SIM_PROP_FIRMWARE_BYTES));
    Lines lines = traffic(camera_);
    ASSERT_EQ(1u + 79u + 1u, lines.size());  // 78 full chunks and one of 8 bytes
    EXPECT_EQ("cpu 1", lines.front());
    EXPECT_EQ("cpu 0", lines.back());
}

TEST_F(MaintenanceTest, DownloadGoesIn64ByteChunksAtTheirOffsets) {
    struct Case {
        uint32_t length;
        std::vector<Sent> chunks;
    } cases[] = {
        {0, {}},
        {1, {{0, 0, 1}}},
        {64, {{0, 0, 64}}},
        {128, {{0, 0, 64}, {64, 0, 64}}},
        {130, {{0, 0, 64}, {64, 0, 64}, {128, 0, 2}}},
    };
    const std::vector<uint8_t> image = pattern(130);
    for (const Case& c : cases) {
        clearLog(camera_);
        EXPECT_EQ(0, TarvexAnchorDownload(handle_, image.data(), c.length)) << c.length;
        EXPECT_EQ(sent(0xA0), c.chunks) << c.length;
        // Nothing else goes out: no busy poll, no CPU byte.
        EXPECT_EQ(traffic(camera_).size(), c.chunks.size()) << c.length;
    }
    Lines lines = traffic(camera_);
    EXPECT_EQ("to A0 v=128 i=0 [80 87]", lines.back());
}

TEST_F(MaintenanceTest, DownloadStopsAtTheFirstFailedChunk) {
    const std::vector<uint8_t> image = pattern(300);
    fail(camera_, 9, 0xA0, 3);
    EXPECT_EQ(ERR_REQUEST_FAILED, TarvexAnchorDownload(handle_, image.data(), 300));
    ASSERT_EQ(3u, sent(0xA0).size());
    EXPECT_EQ(traffic(camera_).back().substr(traffic(camera_).back().size() - 4), " !31");
    // The chunks before the failing one stay loaded.
    EXPECT_EQ(std::vector<uint8_t>(image.begin(), image.begin() + 128),
              memory(TARVEX_SIM_MEM_CONTROLLER, 0, 128));

    clearLog(camera_);
    shortCount(camera_, 9, 0xA0, 2);
    EXPECT_EQ(ERR_REQUEST_FAILED, TarvexAnchorDownload(handle_, image.data(), 300));
    EXPECT_EQ(2u, sent(0xA0).size());
}

// ---- EEPROM image ---------------------------------------------------------------

TEST_F(MaintenanceTest, EepromImageGoesInOneTransfer) {
    const std::vector<uint8_t> image = pattern(100, 9);
    EXPECT_EQ(0, TarvexLoadEEPROM(handle_, image.data(), 100));
    EXPECT_EQ(sent(0xA2), (std::vector<Sent>{{0, 0xBEEF, 100}}));
    EXPECT_EQ(traffic(camera_).size(), 1u);
    EXPECT_EQ(100, property(camera_, TARVEX_SIM_PROP_EEPROM_BYTES));
    EXPECT_EQ(image, memory(TARVEX_SIM_MEM_EEPROM, 0, 100));
}

TEST_F(MaintenanceTest, EepromImageShortOfItsLengthFails) {
    tarvex_sim_fault fault{};
    fault.kind = TARVEX_SIM_FAULT_SHORT;
    fault.code = 9;
    fault.request = 0xA2;
    fault.nth = 1;
    fault.count = 1;
    fault.short_by = 36;  // the driver reports 64 of 100 bytes
    ASSERT_EQ(0, tarvex_sim_add_fault(camera_, &fault));
    const std::vector<uint8_t> image = pattern(100);
    EXPECT_EQ(ERR_REQUEST_FAILED, TarvexLoadEEPROM(handle_, image.data(), 100));
}

TEST_F(MaintenanceTest, ImagesWithoutDataAreRefusedUnlessEmpty) {
    EXPECT_EQ(ERR_OUT_OF_RANGE, TarvexAnchorDownload(handle_, nullptr, 10));
    EXPECT_EQ(ERR_OUT_OF_RANGE, TarvexLoadEEPROM(handle_, nullptr, 10));
    EXPECT_EQ(traffic(camera_), Lines{});
    EXPECT_EQ(0, TarvexAnchorDownload(handle_, nullptr, 0));
    EXPECT_EQ(traffic(camera_), Lines{});
}

// ---- Device memory --------------------------------------------------------------

TEST_F(MaintenanceTest, WrittenDeviceMemoryReadsBack) {
    const std::vector<uint8_t> data = pattern(130, 1);
    EXPECT_EQ(0, TarvexDeviceMemWrite(handle_, 0, data.data(), 130));
    std::vector<uint8_t> back(130);
    EXPECT_EQ(0, TarvexDeviceMemRead(handle_, 0, back.data(), 130));
    EXPECT_EQ(data, back);
    EXPECT_EQ(data, memory(TARVEX_SIM_MEM_DEVICE, 0, 130));
    EXPECT_EQ(sent(0xBA), (std::vector<Sent>{{64, 0, 64}, {64, 64, 64}, {2, 128, 2}}));
    EXPECT_EQ(sent(0xBB), (std::vector<Sent>{{130, 0, 130}}));
}

TEST_F(MaintenanceTest, EveryDeviceMemoryChunkWaitsForTheController) {
    const std::vector<uint8_t> data = pattern(130);
    EXPECT_EQ(0, TarvexDeviceMemWrite(handle_, 0x100, data.data(), 130));
    Lines lines = traffic(camera_);
    // The default camera reports busy once after each write.
    ASSERT_EQ(9u, lines.size());
    for (size_t chunk = 0; chunk < 3; ++chunk) {
        EXPECT_EQ(0u, lines[3 * chunk].rfind("to BA ", 0)) << lines[3 * chunk];
        EXPECT_EQ(POLL, lines[3 * chunk + 1]);
        EXPECT_EQ(POLL, lines[3 * chunk + 2]);
    }
    EXPECT_EQ("to BA v=2 i=384 [80 87]", lines[6]);
}

TEST_F(MaintenanceTest, DeviceMemoryWriteStaysInTheFirstKilobyte) {
    struct Case {
        uint32_t address, length;
        ApiStatus result;
        size_t chunks;
    } cases[] = {
        {1000, 24, 0, 1},
        {1000, 25, ERR_OUT_OF_RANGE, 0},
        {1024, 0, 0, 0},
        {1025, 0, ERR_OUT_OF_RANGE, 0},
        {0, 1024, 0, 16},
        {0, 1025, ERR_OUT_OF_RANGE, 0},
        // Sums that wrap past 2^32 must not slip under the limit.
        {0xFFFFFFFFu, 2, ERR_OUT_OF_RANGE, 0},
        {64, 0xFFFFFFC0u, ERR_OUT_OF_RANGE, 0},
        {0x80000000u, 0x80000000u, ERR_OUT_OF_RANGE, 0},
    };
    const std::vector<uint8_t> data = pattern(1024);
    for (const Case& c : cases) {
        clearLog(camera_);
        // The lengths that are refused are never read: 1024 bytes of data suffice.
        EXPECT_EQ(c.result, TarvexDeviceMemWrite(handle_, c.address, data.data(), c.length))
            << c.address << " + " << c.length;
        EXPECT_EQ(sent(0xBA).size(), c.chunks) << c.address << " + " << c.length;
        if (c.result != 0) {
            EXPECT_EQ(traffic(camera_), Lines{});
        }
    }
}

TEST_F(MaintenanceTest, DeviceMemoryChunkThatTimesOutEndsTheWrite) {
    TARVEX_REQUIRE_VIRTUAL_CLOCK();
    // A busy bit that never clears: the first chunk already times out.
    ASSERT_EQ(0, tarvex_sim_set(camera_, TARVEX_SIM_PROP_BUSY_READS_BIT0, -1));
    const std::vector<uint8_t> data = pattern(130);
    int64_t before = tarvex_sim_clock_ms();
    EXPECT_EQ(ERR_BUSY_TIMEOUT, TarvexDeviceMemWrite(handle_, 0, data.data(), 130));
    EXPECT_GE(tarvex_sim_clock_ms() - before, 1000);
    EXPECT_EQ(sent(0xBA).size(), 1u);
    // The chunk itself reached the camera.
    EXPECT_EQ(std::vector<uint8_t>(data.begin(), data.begin() + 64), memory(TARVEX_SIM_MEM_DEVICE, 0, 64));
}

TEST_F(MaintenanceTest, SecondChunkThatTimesOutSendsNoThird) {
    TARVEX_REQUIRE_VIRTUAL_CLOCK();
    // The first chunk's poll reads busy, then idle; from then on the status
    // cannot be read, so the second chunk's poll never sees the bit clear.
    fail(camera_, 6, 0xB4, 3, 0);
    const std::vector<uint8_t> data = pattern(130);
    EXPECT_EQ(ERR_BUSY_TIMEOUT, TarvexDeviceMemWrite(handle_, 0, data.data(), 130));
    EXPECT_EQ(sent(0xBA), (std::vector<Sent>{{64, 0, 64}, {64, 64, 64}}));
}

TEST_F(MaintenanceTest, FailedDeviceMemoryChunkIsNotPolledAndEndsTheWrite) {
    fail(camera_, 9, 0xBA, 2);
    const std::vector<uint8_t> data = pattern(200);
    EXPECT_EQ(ERR_REQUEST_FAILED, TarvexDeviceMemWrite(handle_, 0, data.data(), 200));
    Lines lines = traffic(camera_);
    ASSERT_EQ(4u, lines.size());
    EXPECT_EQ(" !31", lines[3].substr(lines[3].size() - 4));
}

TEST_F(MaintenanceTest, DeviceMemoryReadHasNoRangeLimit) {
    uint8_t buffer[16];
    EXPECT_EQ(0, TarvexDeviceMemRead(handle_, 1280, buffer, 16));
    // Only the address's low 16 bits travel.
    EXPECT_EQ(0, TarvexDeviceMemRead(handle_, 0x12345, buffer, 16));
    EXPECT_EQ(traffic(camera_), (Lines{"from BB v=16 i=1280 n=16", "from BB v=16 i=9029 n=16"}));
    shortCount(camera_, 6, 0xBB);
    EXPECT_EQ(ERR_REQUEST_FAILED, TarvexDeviceMemRead(handle_, 0, buffer, 16));
}

TEST_F(MaintenanceTest, DeviceMemoryWithoutBufferIsRefusedUnlessEmpty) {
    EXPECT_EQ(ERR_OUT_OF_RANGE, TarvexDeviceMemRead(handle_, 0, nullptr, 4));
    EXPECT_EQ(ERR_OUT_OF_RANGE, TarvexDeviceMemWrite(handle_, 0, nullptr, 4));
    EXPECT_EQ(traffic(camera_), Lines{});
    EXPECT_EQ(0, TarvexDeviceMemWrite(handle_, 0, nullptr, 0));
    EXPECT_EQ(traffic(camera_), Lines{});
}

// ---- Sensor registers over I2C ---------------------------------------------------

TEST_F(MaintenanceTest, RegisterRangeGoesInOneFrame) {
    const uint16_t values[2] = {0x1234, 0x0056};
    EXPECT_EQ(0, TarvexI2CWrite(handle_, 0x05, values, 2));
    EXPECT_EQ(traffic(camera_), (Lines{"to B0 v=5 i=0 [05 12 34 00 56]", POLL, POLL}));
    EXPECT_EQ(0x1234, sensorRegister(camera_, 0x05));
    EXPECT_EQ(0x0056, sensorRegister(camera_, 0x06));
}

TEST_F(MaintenanceTest, RangeCrossingAnUnmirroredRegisterIsRefusedAfterItsPredecessors) {
    // 0x0E is not mirrored: nothing is sent, but the copy of 0x0D is replaced.
    const uint16_t values[2] = {0x00F0, 0x1111};
    EXPECT_EQ(ERR_OUT_OF_RANGE, TarvexI2CWrite(handle_, 0x0D, values, 2));
    EXPECT_EQ(traffic(camera_), Lines{});
    EXPECT_EQ(0, sensorRegister(camera_, 0x0D));
    // The pulse of register 0x0D shows the replaced copy.
    int32_t zero = 0;
    EXPECT_EQ(0, TarvexCommand(handle_, 40, &zero, nullptr));
    EXPECT_EQ(trafficWithoutPolls(camera_), (Lines{"to B0 v=3 i=0 [0D 00 F1]", "to B0 v=3 i=0 [0D 00 F0]"}));
    EXPECT_EQ(0x1111, values[1]);  // the caller's values are not changed
}

TEST_F(MaintenanceTest, RangesTouchingUnmirroredRegistersAreRefused) {
    const uint16_t values[3] = {1, 2, 3};
    for (uint32_t start : {0x07u, 0x08u, 0x0Au, 0x1Du, 0xF1u, 0x100u}) {
        EXPECT_EQ(ERR_OUT_OF_RANGE, TarvexI2CWrite(handle_, start, values, start == 0xF1u ? 2 : 3)) << start;
    }
    EXPECT_EQ(traffic(camera_), Lines{});
}

TEST_F(MaintenanceTest, RegisterCountIsTakenModulo65536) {
    const uint16_t values[1] = {0xBEEF};
    EXPECT_EQ(0, TarvexI2CWrite(handle_, 0x2B, values, 0x10001));
    EXPECT_EQ(0, TarvexI2CWrite(handle_, 0x2B, values, 0));
    // A count of 65536 is no register at all and needs no values.
    EXPECT_EQ(0, TarvexI2CWrite(handle_, 0x2B, nullptr, 0x10000));
    EXPECT_EQ(trafficWithoutPolls(camera_),
              (Lines{"to B0 v=3 i=0 [2B BE EF]", "to B0 v=1 i=0 [2B]", "to B0 v=1 i=0 [2B]"}));
}

TEST_F(MaintenanceTest, RegisterWriteReportsTheControllersTimeout) {
    TARVEX_REQUIRE_VIRTUAL_CLOCK();
    ASSERT_EQ(0, tarvex_sim_set(camera_, TARVEX_SIM_PROP_BUSY_READS_BIT0, -1));
    const uint16_t value = 7;
    EXPECT_EQ(ERR_BUSY_TIMEOUT, TarvexI2CWrite(handle_, 0x35, &value, 1));
    EXPECT_EQ(7, sensorRegister(camera_, 0x35));
}

TEST_F(MaintenanceTest, AnyRegisterCanBeRead) {
    const uint16_t stored[3] = {0x0102, 0x0304, 0x0506};
    tarvex_sim_write_memory(camera_, TARVEX_SIM_MEM_SENSOR, 0x08 * 2, stored, sizeof stored);
    uint16_t values[3] = {};
    EXPECT_EQ(0, TarvexI2CRead(handle_, 0x08, values, 3));
    EXPECT_EQ(std::vector<uint16_t>(values, values + 3), std::vector<uint16_t>(stored, stored + 3));
    EXPECT_EQ(trafficWithoutPolls(camera_), (Lines{"to B0 v=1 i=0 [08]", "from B1 v=6 i=0 n=6"}));
}

TEST_F(MaintenanceTest, RegisterRangesWithoutValuesAreRefusedUnlessEmpty) {
    EXPECT_EQ(ERR_OUT_OF_RANGE, TarvexI2CRead(handle_, 0x05, nullptr, 2));
    EXPECT_EQ(ERR_OUT_OF_RANGE, TarvexI2CWrite(handle_, 0x05, nullptr, 2));
    EXPECT_EQ(traffic(camera_), Lines{});
    EXPECT_EQ(0, TarvexI2CRead(handle_, 0x05, nullptr, 0));
    EXPECT_EQ(trafficWithoutPolls(camera_), (Lines{"to B0 v=1 i=0 [05]", "from B1 v=0 i=0 n=0"}));
}

// ---- Bulk pipe ------------------------------------------------------------------

TEST_F(MaintenanceTest, BulkDataWrittenIsReadBack) {
    const std::vector<uint8_t> data = pattern(100, 5);
    EXPECT_EQ(0, TarvexBulkWrite(handle_, data.data(), 100));
    EXPECT_EQ(data, memory(TARVEX_SIM_MEM_BULK, 0, 100));
    std::vector<uint8_t> back(100);
    EXPECT_EQ(0, TarvexBulkRead(handle_, back.data(), 100));
    EXPECT_EQ(data, back);
    EXPECT_EQ(traffic(camera_), (Lines{"code 329 (1) n=100", "code 326 (1) n=100"}));
}

TEST_F(MaintenanceTest, BulkTransfersShortOfTheirLengthFail) {
    const std::vector<uint8_t> data = pattern(64);
    std::vector<uint8_t> buffer(64);
    shortCount(camera_, 329);
    EXPECT_EQ(ERR_DRIVER_CALL, TarvexBulkWrite(handle_, data.data(), 64));
    ASSERT_EQ(0, TarvexBulkWrite(handle_, data.data(), 64));
    shortCount(camera_, 326);
    EXPECT_EQ(ERR_DRIVER_CALL, TarvexBulkRead(handle_, buffer.data(), 64));
    fail(camera_, 326);
    EXPECT_EQ(ERR_DRIVER_CALL, TarvexBulkRead(handle_, buffer.data(), 64));
    fail(camera_, 329);
    EXPECT_EQ(ERR_DRIVER_CALL, TarvexBulkWrite(handle_, data.data(), 64));
}

TEST_F(MaintenanceTest, BulkTransfersWithoutBufferAreRefusedUnlessEmpty) {
    EXPECT_EQ(ERR_OUT_OF_RANGE, TarvexBulkRead(handle_, nullptr, 4));
    EXPECT_EQ(ERR_OUT_OF_RANGE, TarvexBulkWrite(handle_, nullptr, 4));
    EXPECT_EQ(traffic(camera_), Lines{});
    EXPECT_EQ(0, TarvexBulkWrite(handle_, nullptr, 0));
    EXPECT_EQ(traffic(camera_), Lines{"code 329 (1) n=0"});
}

// ---- Handles ----------------------------------------------------------------------

TEST_F(MaintenanceTest, InvalidHandlesSendNothing) {
    CameraHandle closed = open(attach("S4"), 2);
    ASSERT_EQ(0, close(closed));
    uint8_t buffer[64] = {};
    uint16_t values[2] = {};
    for (CameraHandle handle : {CameraHandle{nullptr}, closed}) {
        EXPECT_EQ(ERR_INVALID_HANDLE, Tarvex8051Hold(handle));
        EXPECT_EQ(ERR_INVALID_HANDLE, Tarvex8051Run(handle));
        EXPECT_EQ(ERR_INVALID_HANDLE, TarvexAnchorDownload(handle, buffer, 64));
        EXPECT_EQ(ERR_INVALID_HANDLE, TarvexLoadEEPROM(handle, buffer, 64));
        EXPECT_EQ(ERR_INVALID_HANDLE, TarvexDeviceMemRead(handle, 0, buffer, 64));
        EXPECT_EQ(ERR_INVALID_HANDLE, TarvexDeviceMemWrite(handle, 0, buffer, 64));
        EXPECT_EQ(ERR_INVALID_HANDLE, TarvexI2CRead(handle, 5, values, 2));
        EXPECT_EQ(ERR_INVALID_HANDLE, TarvexI2CWrite(handle, 5, values, 2));
        EXPECT_EQ(ERR_INVALID_HANDLE, TarvexBulkRead(handle, buffer, 64));
        EXPECT_EQ(ERR_INVALID_HANDLE, TarvexBulkWrite(handle, buffer, 64));
    }
    EXPECT_EQ(traffic(camera_), Lines{});
}

}  // namespace
