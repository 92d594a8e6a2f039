// The busy bits of the status byte: set by the polled writes, visible to the
// configured number of status reads, then clear.
#include "sim_driver_fixture.h"
#include "support/sim_fixture.h"

namespace tarvex_test {
namespace {

struct BusyCase {
    uint8_t request;
    uint8_t bit;  // the status bit the write sets
    int32_t readsProperty;
    int64_t reads;  // status reads that see it set
};

void PrintTo(const BusyCase& c, std::ostream* out) {
    *out << "request 0x" << std::hex << int(c.request) << std::dec << ", " << c.reads << " reads";
}

class BusyBits : public SimDriverTest, public ::testing::WithParamInterface<BusyCase> {};

TEST_P(BusyBits, StaySetForTheConfiguredReads) {
    const BusyCase& c = GetParam();
    int32_t camera = 0;
    HANDLE handle = attachAndOpen("UA", &camera);
    ASSERT_EQ(0, tarvex_sim_set(camera, c.readsProperty, c.reads));
    EXPECT_EQ(0, readStatus(handle));
    uint8_t data[5] = {0x05, 0x00, 0x09, 0x00, 0x19};
    ASSERT_EQ(succeeded(5), vendor(handle, true, c.request, 5, 0, data, 5));
    for (int64_t read = 0; read < c.reads; ++read) EXPECT_EQ(c.bit, readStatus(handle)) << read;
    EXPECT_EQ(0, readStatus(handle));
    EXPECT_EQ(0, readStatus(handle));
}

INSTANTIATE_TEST_SUITE_P(PolledWrites, BusyBits,
                         ::testing::Values(BusyCase{0xB0, 0x01, TARVEX_SIM_PROP_BUSY_READS_BIT0, 1},
                                           BusyCase{0xB0, 0x01, TARVEX_SIM_PROP_BUSY_READS_BIT0, 0},
                                           BusyCase{0xB0, 0x01, TARVEX_SIM_PROP_BUSY_READS_BIT0, 3},
                                           BusyCase{0xBA, 0x01, TARVEX_SIM_PROP_BUSY_READS_BIT0, 2},
                                           BusyCase{0xBD, 0x01, TARVEX_SIM_PROP_BUSY_READS_BIT0, 1},
                                           BusyCase{0xBF, 0x02, TARVEX_SIM_PROP_BUSY_READS_BIT1, 1},
                                           BusyCase{0xBF, 0x02, TARVEX_SIM_PROP_BUSY_READS_BIT1, 4}));

TEST_F(SimDriverTest, BusyBitsDefaultToOneRead) {
    int32_t camera = 0;
    attachAndOpen("UA", &camera);
    EXPECT_EQ(1, property(camera, TARVEX_SIM_PROP_BUSY_READS_BIT0));
    EXPECT_EQ(1, property(camera, TARVEX_SIM_PROP_BUSY_READS_BIT1));
}

TEST_F(SimDriverTest, BusyBitThatNeverClears) {
    int32_t camera = 0;
    HANDLE handle = attachAndOpen("UA", &camera);
    ASSERT_EQ(0, tarvex_sim_set(camera, TARVEX_SIM_PROP_BUSY_READS_BIT1, -1));
    uint8_t block[4] = {};
    ASSERT_EQ(succeeded(4), vendor(handle, true, 0xBF, 4, 0, block, 4));
    for (int read = 0; read < 200; ++read) ASSERT_EQ(0x02, readStatus(handle));
    // Bit 0 is independent of bit 1.
    ASSERT_EQ(succeeded(4), vendor(handle, true, 0xBD, 4, 0, block, 4));
    EXPECT_EQ(0x03, readStatus(handle));
    EXPECT_EQ(0x02, readStatus(handle));
    EXPECT_EQ(TARVEX_SIM_EINVAL, tarvex_sim_set(camera, TARVEX_SIM_PROP_BUSY_READS_BIT0, -2));
}

TEST_F(SimDriverTest, WritesWithoutAPollSetNoBit) {
    HANDLE handle = attachAndOpen();
    for (uint8_t request : {0xA0, 0xA2, 0xB5, 0xBC, 0xD0, 0xD1}) {
        uint8_t byte = 0;
        vendor(handle, true, request, 0, request == 0xA2 ? 0xBEEF : 0, &byte, 1);
        EXPECT_EQ(0, readStatus(handle)) << std::hex << int(request);
    }
}

TEST_F(SimDriverTest, StatusReadOfNoBytesCountsNoRead) {
    HANDLE handle = attachAndOpen();
    writeRegisters(handle, 0x05, {9});
    EXPECT_EQ(succeeded(0), vendor(handle, false, 0xB4, 0, 0, nullptr, 0));
    EXPECT_EQ(0x01, readStatus(handle));
    EXPECT_EQ(0x00, readStatus(handle));
}

// The library's busy poll sees exactly the configured reads.
class BusyPoll : public SimCameraTest {};

TEST_F(BusyPoll, LibraryPollsUntilTheBitClears) {
    int32_t camera = attach("UA");
    CameraHandle handle = open(camera);
    ASSERT_EQ(0, tarvex_sim_set(camera, TARVEX_SIM_PROP_BUSY_READS_BIT0, 3));
    uint16_t value = 0x0009;
    ASSERT_EQ(0, TarvexI2CWrite(handle, 0x05, &value, 1));
    EXPECT_EQ((std::vector<std::string>{"to B0 v=3 i=0 [05 00 09]", "from B4 v=1 i=0 n=1",
                                        "from B4 v=1 i=0 n=1", "from B4 v=1 i=0 n=1", "from B4 v=1 i=0 n=1"}),
              traffic(camera));
}

TEST_F(BusyPoll, BitThatNeverClearsTimesOutOnTheVirtualClock) {
    int32_t camera = attach("UA");
    CameraHandle handle = open(camera);
    ASSERT_EQ(0, tarvex_sim_set(camera, TARVEX_SIM_PROP_BUSY_READS_BIT0, -1));
    int64_t before = tarvex_sim_clock_ms();
    uint16_t value = 0x0009;
    EXPECT_EQ(ERR_BUSY_TIMEOUT, TarvexI2CWrite(handle, 0x05, &value, 1));
    int64_t elapsed = tarvex_sim_clock_ms() - before;
    // One millisecond per call: the write, then status reads until 1000 ms have passed.
    EXPECT_GE(elapsed, 1000);
    EXPECT_LE(elapsed, 1002);
    std::vector<std::string> lines = traffic(camera);
    EXPECT_EQ(static_cast<size_t>(elapsed), lines.size());
}

}  // namespace
}  // namespace tarvex_test
