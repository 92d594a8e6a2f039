// Vendor requests, the busy poll and firmware loading, seen from the
// simulated camera's log.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/win32.h"
#include "transport/vendor_request.h"
#include "unit/raw_device_fixture.h"

namespace tarvex {
namespace {

class TransportTest : public tarvex_test::RawDeviceTest {
protected:
    std::vector<tarvex_sim_call> vendorCalls(uint8_t request) {
        std::vector<tarvex_sim_call> selected;
        for (const tarvex_sim_call& call : calls(camera_)) {
            if ((call.code == 6 || call.code == 9) && call.request == request) selected.push_back(call);
        }
        return selected;
    }
};

TEST(RequestBlocks, VendorRequestIsLaidOutByteByByteLittleEndian) {
    VendorRequest block = makeVendorRequest(DEVICE_TO_HOST, 0xBB, 0x12345, 0xABCDEF);
    const uint8_t expected[10] = {1, 2, 0, 0, 0xBB, 0, 0x45, 0x23, 0xEF, 0xCD};
    EXPECT_EQ(0, std::memcmp(expected, block.bytes, sizeof expected));
}

TEST(RequestBlocks, FirmwareByteRequestCarriesTheCpuByte) {
    FirmwareByteRequest block = makeFirmwareByteRequest(1);
    const uint8_t expected[10] = {0xA0, 0, 0x00, 0xE6, 0, 0, 1, 0, 0, 1};
    EXPECT_EQ(0, std::memcmp(expected, block.bytes, sizeof expected));
}

TEST_F(TransportTest, OneByteRequestCarriesItsByteInValueAndData) {
    EXPECT_EQ(0, writeVendorByte(device_, 0xB5, 0x80));
    EXPECT_EQ(traffic(camera_), (std::vector<std::string>{"to B5 v=128 i=0 [80]"}));
}

TEST_F(TransportTest, BlockLengthsFrom65536OnKeepOnlyTheirLow16BitsInTheValue) {
    std::vector<uint8_t> buffer(65536 + 5);
    EXPECT_EQ(0, readVendorBytes(device_, 0xBB, 0, buffer.data(), static_cast<uint32_t>(buffer.size())));
    std::vector<tarvex_sim_call> reads = vendorCalls(0xBB);
    ASSERT_EQ(1u, reads.size());
    EXPECT_EQ(5, reads[0].value);
    EXPECT_EQ(65541u, reads[0].out_size);
}

TEST_F(TransportTest, ReadThatReturnsFewerBytesFails) {
    shortCount(camera_, 6, 0xC1);
    uint8_t byte = 0;
    EXPECT_EQ(ERR_REQUEST_FAILED, readVendorBytes(device_, 0xC1, 0, &byte, 1));
}

TEST_F(TransportTest, FailedCallFailsTheRequest) {
    fail(camera_, 9, 0xB5);
    EXPECT_EQ(ERR_REQUEST_FAILED, writeVendorByte(device_, 0xB5, 2));
}

struct DownloadCase {
    uint32_t length;
    std::vector<std::pair<uint16_t, uint32_t>> chunks;  // value, length
};

class DownloadChunking : public TransportTest, public ::testing::WithParamInterface<DownloadCase> {};

TEST_P(DownloadChunking, SendsChunksOf64AtTheirOffsets) {
    const DownloadCase& c = GetParam();
    std::vector<uint8_t> image(c.length);
    for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 7);
    EXPECT_EQ(0, downloadFirmware(device_, image.data(), c.length));
    std::vector<tarvex_sim_call> sent = vendorCalls(0xA0);
    ASSERT_EQ(c.chunks.size(), sent.size());
    for (size_t i = 0; i < sent.size(); ++i) {
        EXPECT_EQ(c.chunks[i].first, sent[i].value) << "chunk " << i;
        EXPECT_EQ(c.chunks[i].second, sent[i].out_size) << "chunk " << i;
        EXPECT_EQ(0, sent[i].index);
    }
}

INSTANTIATE_TEST_SUITE_P(Lengths, DownloadChunking,
                         ::testing::Values(DownloadCase{0, {}}, DownloadCase{100, {{0, 64}, {64, 36}}},
                                           DownloadCase{128, {{0, 64}, {64, 64}}}));

TEST_F(TransportTest, DownloadOver64KiBWrapsTheLoadAddress) {
    std::vector<uint8_t> image(65536 + 64 + 10, 0x5A);
    EXPECT_EQ(0, downloadFirmware(device_, image.data(), static_cast<uint32_t>(image.size())));
    std::vector<tarvex_sim_call> sent = vendorCalls(0xA0);
    ASSERT_EQ(1026u, sent.size());
    EXPECT_EQ(0xFFC0, sent[1023].value);
    EXPECT_EQ(0, sent[1024].value);
    EXPECT_EQ(64, sent[1025].value);
    EXPECT_EQ(10u, sent[1025].out_size);
}

TEST_F(TransportTest, DownloadStopsAtTheFirstFailingChunk) {
    fail(camera_, 9, 0xA0, 3);
    std::vector<uint8_t> image(64 * 5);
    EXPECT_EQ(ERR_REQUEST_FAILED, downloadFirmware(device_, image.data(), 64 * 5));
    EXPECT_EQ(3u, vendorCalls(0xA0).size());
}

TEST_F(TransportTest, DownloadedImageLandsInControllerMemory) {
    std::vector<uint8_t> image(130);
    for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(255 - i);
    ASSERT_EQ(0, downloadFirmware(device_, image.data(), 130));
    std::vector<uint8_t> loaded(130);
    tarvex_sim_read_memory(camera_, TARVEX_SIM_MEM_CONTROLLER, 0, loaded.data(), 130);
    EXPECT_EQ(image, loaded);
}

TEST_F(TransportTest, CpuByteTravelsInTheBlockWithoutDataStage) {
    EXPECT_EQ(0, writeFirmwareByte(device_, 1));
    EXPECT_EQ(1, property(camera_, TARVEX_SIM_PROP_CPU_HELD));
    EXPECT_EQ(0, writeFirmwareByte(device_, 0));
    EXPECT_EQ(0, property(camera_, TARVEX_SIM_PROP_CPU_HELD));
    std::vector<tarvex_sim_call> all = calls(camera_);
    ASSERT_EQ(2u, all.size());
    EXPECT_EQ(12u, all[0].code);
    EXPECT_EQ(10u, all[0].in_size);
    EXPECT_EQ(0u, all[0].out_size);
}

TEST_F(TransportTest, EepromImageGoesInOneTransfer) {
    std::vector<uint8_t> image(100, 0x11);
    EXPECT_EQ(0, writeEepromImage(device_, image.data(), 100));
    EXPECT_EQ(traffic(camera_).size(), 1u);
    std::vector<tarvex_sim_call> sent = vendorCalls(0xA2);
    ASSERT_EQ(1u, sent.size());
    EXPECT_EQ(0, sent[0].value);
    EXPECT_EQ(0xBEEF, sent[0].index);
    EXPECT_EQ(100u, sent[0].out_size);
}

TEST_F(TransportTest, PollEndsAtOnceWhenTheBitIsClear) {
    EXPECT_EQ(0, waitWhileBusy(device_, BUSY_WRITE));
    EXPECT_EQ(traffic(camera_), (std::vector<std::string>{"from B4 v=1 i=0 n=1"}));
}

TEST_F(TransportTest, PollWaitsForTheBitToClear) {
    tarvex_sim_set(camera_, TARVEX_SIM_PROP_BUSY_READS_BIT0, 3);
    uint8_t data = 0;
    EXPECT_EQ(0, writeVendorBytes(device_, 0xBD, 0, &data, 1, BUSY_WRITE));
    EXPECT_EQ(4u, vendorCalls(0xB4).size());  // three busy reads, one clear
}

TEST_F(TransportTest, PollTimesOutAfterAtLeast1000ms) {
    tarvex_sim_set(camera_, TARVEX_SIM_PROP_BUSY_READS_BIT0, -1);
    uint8_t data = 0;
    int64_t before = tarvex_sim_clock_ms();
    EXPECT_EQ(ERR_BUSY_TIMEOUT, writeVendorBytes(device_, 0xBD, 0, &data, 1, BUSY_WRITE));
    std::vector<tarvex_sim_call> polls = vendorCalls(0xB4);
    ASSERT_FALSE(polls.empty());
    EXPECT_GE(polls.back().time_us / 1000 - static_cast<uint64_t>(before), 999u);
    EXPECT_GE(tarvex_sim_clock_ms() - before, 1000);
    EXPECT_LT(tarvex_sim_clock_ms() - before, 1100);
}

TEST_F(TransportTest, PollLooksOnlyAtItsOwnBit) {
    // 0xBF sets bit 1 for good; a poll on bit 0 does not wait for it.
    tarvex_sim_set(camera_, TARVEX_SIM_PROP_BUSY_READS_BIT1, -1);
    uint8_t data = 0;
    EXPECT_EQ(ERR_BUSY_TIMEOUT, writeVendorBytes(device_, 0xBF, 0, &data, 1, BUSY_BLOCK_WRITE));
    clearLog(camera_);
    EXPECT_EQ(0, waitWhileBusy(device_, BUSY_WRITE));
    EXPECT_EQ(1u, vendorCalls(0xB4).size());
}

TEST_F(TransportTest, PollWithFailingStatusReadsRunsIntoTheTimeOut) {
    fail(camera_, 6, 0xB4, 1, 0);
    EXPECT_EQ(ERR_BUSY_TIMEOUT, waitWhileBusy(device_, BUSY_WRITE));
    EXPECT_GT(vendorCalls(0xB4).size(), 100u);
}

TEST_F(TransportTest, PollKeepsTheLastStatusWhenAReadFails) {
    // Busy once, then every read fails: the poll keeps testing the busy byte.
    tarvex_sim_set(camera_, TARVEX_SIM_PROP_BUSY_READS_BIT0, 1);
    fail(camera_, 6, 0xB4, 2, 0);
    uint8_t data = 0;
    EXPECT_EQ(ERR_BUSY_TIMEOUT, writeVendorBytes(device_, 0xBA, 0, &data, 1, BUSY_WRITE));
}

TEST_F(TransportTest, FailedWriteIsNotFollowedByAPoll) {
    fail(camera_, 9, 0xBA);
    uint8_t data = 0;
    EXPECT_EQ(ERR_REQUEST_FAILED, writeVendorBytes(device_, 0xBA, 0, &data, 1, BUSY_WRITE));
    EXPECT_TRUE(vendorCalls(0xB4).empty());
}

}  // namespace
}  // namespace tarvex
