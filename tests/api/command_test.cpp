// TarvexCommand: firmware blocks, strobe setup, the register 0x0D pulse and
// the status queries, seen from the simulated camera's log.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/sim_fixture.h"

namespace {

using tarvex_test::SimCameraTest;
using Lines = std::vector<std::string>;

constexpr const char* POLL = "from B4 v=1 i=0 n=1";

class CommandTest : public SimCameraTest {
protected:
    void SetUp() override {
        SimCameraTest::SetUp();
        camera_ = attach("UA");
        handle_ = open(camera_);
        ASSERT_NE(nullptr, handle_);
    }

    // Puts a sensor register (and its mirrored copy) at a known value, then
    // clears the log.
    void presetRegister(uint32_t address, uint16_t value) {
        ASSERT_EQ(0, TarvexI2CWrite(handle_, address, &value, 1));
        clearLog(camera_);
    }

    int32_t camera_ = 0;
    CameraHandle handle_ = nullptr;
};

// ---- Blocks and bytes ------------------------------------------------------------

struct BlockWriteCase {
    const char* name;
    uint32_t command, otherCommand;
    const char* sent;
    int32_t polledBit, otherBit;
};

const BlockWriteCase BlockWriteCases[] = {
    {"Command0", 0, 1, "to BD v=3 i=0 [01 02 03]", TARVEX_SIM_PROP_BUSY_READS_BIT0,
     TARVEX_SIM_PROP_BUSY_READS_BIT1},
    {"Command1", 1, 0, "to BF v=3 i=0 [01 02 03]", TARVEX_SIM_PROP_BUSY_READS_BIT1,
     TARVEX_SIM_PROP_BUSY_READS_BIT0},
};

class BlockWriteTest : public CommandTest, public ::testing::WithParamInterface<BlockWriteCase> {};

TEST_P(BlockWriteTest, WaitsOnItsOwnBusyBitOnly) {
    TARVEX_REQUIRE_VIRTUAL_CLOCK();
    const BlockWriteCase& c = GetParam();
    // First the other block write leaves its busy bit set for good ...
    ASSERT_EQ(0, tarvex_sim_set(camera_, c.otherBit, -1));
    uint8_t other = 0;
    uint32_t one = 1;
    ASSERT_EQ(ERR_BUSY_TIMEOUT, TarvexCommand(handle_, c.otherCommand, &other, &one));
    // ... which must not hold this one up: it waits for its own bit, busy for two reads.
    ASSERT_EQ(0, tarvex_sim_set(camera_, c.polledBit, 2));
    clearLog(camera_);
    uint8_t block[3] = {1, 2, 3};
    uint32_t size = 3;
    EXPECT_EQ(0, TarvexCommand(handle_, c.command, block, &size));
    EXPECT_EQ(3u, size);
    EXPECT_EQ(traffic(camera_), (Lines{c.sent, POLL, POLL, POLL}));
    uint8_t received[3] = {};
    tarvex_sim_read_memory(camera_, TARVEX_SIM_MEM_FIRMWARE_BLOCK, 0, received, 3);
    EXPECT_EQ(0, std::memcmp(block, received, 3));
}

TEST_P(BlockWriteTest, WhoseBitNeverClearsTimesOutAfterSending) {
    TARVEX_REQUIRE_VIRTUAL_CLOCK();
    const BlockWriteCase& c = GetParam();
    ASSERT_EQ(0, tarvex_sim_set(camera_, c.polledBit, -1));
    uint8_t block[3] = {1, 2, 3};
    uint32_t size = 3;
    int64_t before = tarvex_sim_clock_ms();
    EXPECT_EQ(ERR_BUSY_TIMEOUT, TarvexCommand(handle_, c.command, block, &size));
    EXPECT_GE(tarvex_sim_clock_ms() - before, 1000);
    // The block went out once; then status reads only, for the whole second.
    EXPECT_EQ(trafficWithoutPolls(camera_), Lines{c.sent});
    EXPECT_GT(traffic(camera_).size(), 500u);
}

INSTANTIATE_TEST_SUITE_P(BothBlockWrites, BlockWriteTest, ::testing::ValuesIn(BlockWriteCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CommandTest, FailedBlockWriteIsNotPolled) {
    fail(camera_, 9, 0xBD);
    uint8_t block[2] = {7, 8};
    uint32_t size = 2;
    EXPECT_EQ(ERR_REQUEST_FAILED, TarvexCommand(handle_, 0, block, &size));
    EXPECT_EQ(traffic(camera_), Lines{"to BD v=2 i=0 [07 08] !31"});
}

TEST_F(CommandTest, BlockReadFillsSizeBytes) {
    const uint8_t stored[4] = {0xDE, 0xAD, 0xBE, 0xEF};
    tarvex_sim_write_memory(camera_, TARVEX_SIM_MEM_FIRMWARE_BLOCK, 0, stored, 4);
    uint8_t buffer[5] = {0, 0, 0, 0, 0xAA};
    uint32_t size = 4;
    EXPECT_EQ(0, TarvexCommand(handle_, 2, buffer, &size));
    EXPECT_EQ(0, std::memcmp(stored, buffer, 4));
    EXPECT_EQ(0xAA, buffer[4]);
    EXPECT_EQ(traffic(camera_), Lines{"from C3 v=4 i=0 n=4"});
}

TEST_F(CommandTest, ShortBlockReadFails) {
    shortCount(camera_, 6, 0xC3);
    uint8_t buffer[4];
    uint32_t size = 4;
    EXPECT_EQ(ERR_REQUEST_FAILED, TarvexCommand(handle_, 2, buffer, &size));
}

TEST_F(CommandTest, CommandByteAndFirmwareWordLeaveTheSizeAlone) {
    uint8_t byte = 0xAB;
    uint32_t size = 77;
    EXPECT_EQ(0, TarvexCommand(handle_, 3, &byte, &size));
    uint8_t word[3] = {0, 0, 0xAA};
    EXPECT_EQ(0, TarvexCommand(handle_, 48, word, &size));
    EXPECT_EQ(0xAA, word[2]);
    EXPECT_EQ(77u, size);
    EXPECT_EQ(traffic(camera_), (Lines{"to C4 v=171 i=0 [AB]", "from DF v=2 i=0 n=2"}));
    // Neither reads *size, so neither needs it.
    EXPECT_EQ(0, TarvexCommand(handle_, 3, &byte, nullptr));
    EXPECT_EQ(0, TarvexCommand(handle_, 48, word, nullptr));
}

// ---- Unrecognised commands -------------------------------------------------------

TEST_F(CommandTest, CommandsAreComparedWhole) {
    // 0x125 is not 37, 0x128 is not 40, 0x100 is not 0: every bit counts.
    for (uint32_t command : {4u, 5u, 36u, 38u, 41u, 47u, 49u, 255u, 257u, 0x101u, 0x103u, 0x125u, 0x128u,
                             0x130u, 0x200u, 0x10100u, 0xFFFFFFFFu}) {
        uint32_t size = 9;
        // data is not read: a null one does no harm.
        EXPECT_EQ(ERR_BAD_SELECTOR, TarvexCommand(handle_, command, nullptr, &size)) << command;
        EXPECT_EQ(0u, size) << command;
    }
    EXPECT_EQ(traffic(camera_), Lines{});
}

// ---- Command 37: strobe setup ----------------------------------------------------

struct StrobeCase {
    const char* name;
    uint16_t registerBefore;
    StrobeSetup setup;
    Lines writes;  // frames of register 0x1E, then the strobe byte
    uint16_t registerAfter;
};

const StrobeCase StrobeCases[] = {
    // Mode 0 sets bits 9 and 10 and keeps bit 11; the byte is the polarity's low byte.
    {"Mode0FromZero", 0x0000, {0, 0}, {"to B0 v=3 i=0 [1E 06 00]", "to B9 v=0 i=0 [00]"}, 0x0600},
    {"Mode0KeepsBit11", 0x0800, {1, 0}, {"to B0 v=3 i=0 [1E 0E 00]", "to B9 v=1 i=0 [01]"}, 0x0E00},
    {"Mode0LowByteOfPolarity",
     0x8600,
     {0x105, 0},
     {"to B0 v=3 i=0 [1E 86 00]", "to B9 v=5 i=0 [05]"},
     0x8600},
    // Mode 1 clears bit 9, then bit 11, keeps bit 10; the byte is the inverse sense.
    {"Mode1FromAllOnes",
     0xFFFF,
     {0, 1},
     {"to B0 v=3 i=0 [1E FD FF]", "to B0 v=3 i=0 [1E F5 FF]", "to B9 v=1 i=0 [01]"},
     0xF5FF},
    {"Mode1NonZeroPolarity",
     0x0400,
     {5, 1},
     {"to B0 v=3 i=0 [1E 04 00]", "to B0 v=3 i=0 [1E 04 00]", "to B9 v=0 i=0 [00]"},
     0x0400},
    {"Mode1PolarityWithZeroLowByte",
     0x0A00,
     {0x100, 1},
     {"to B0 v=3 i=0 [1E 08 00]", "to B0 v=3 i=0 [1E 00 00]", "to B9 v=0 i=0 [00]"},
     0x0000},
};

class StrobeSetupTest : public CommandTest, public ::testing::WithParamInterface<StrobeCase> {};

TEST_P(StrobeSetupTest, ChangesOnlyItsBitsThenSendsTheStrobeByte) {
    const StrobeCase& c = GetParam();
    presetRegister(0x1E, c.registerBefore);
    StrobeSetup setup = c.setup;
    uint32_t size = 55;
    EXPECT_EQ(0, TarvexCommand(handle_, 37, &setup, &size));
    EXPECT_EQ(55u, size);
    EXPECT_EQ(trafficWithoutPolls(camera_), c.writes);
    EXPECT_EQ(c.registerAfter, sensorRegister(camera_, 0x1E));
}

INSTANTIATE_TEST_SUITE_P(BothModes, StrobeSetupTest, ::testing::ValuesIn(StrobeCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CommandTest, StrobeSetupRefusesOtherModesWithoutTraffic) {
    for (int32_t mode : {2, -1, 0x100, 0x101}) {
        StrobeSetup setup{0, mode};
        uint32_t size = 55;
        EXPECT_EQ(ERR_BAD_SELECTOR, TarvexCommand(handle_, 37, &setup, &size)) << mode;
        EXPECT_EQ(55u, size);
    }
    EXPECT_EQ(traffic(camera_), Lines{});
}

TEST_F(CommandTest, StrobeSetupStopsWhenTheDecidingWriteFails) {
    presetRegister(0x1E, 0x0000);
    fail(camera_, 9, 0xB0);
    StrobeSetup mode0{1, 0};
    EXPECT_EQ(ERR_REQUEST_FAILED, TarvexCommand(handle_, 37, &mode0, nullptr));
    EXPECT_EQ(trafficWithoutPolls(camera_), Lines{"to B0 v=3 i=0 [1E 06 00] !31"});

    // The mirrored copy kept the new bits: the next write carries them along.
    clearLog(camera_);
    fail(camera_, 9, 0xB0, 2);
    StrobeSetup mode1{0, 1};
    EXPECT_EQ(ERR_REQUEST_FAILED, TarvexCommand(handle_, 37, &mode1, nullptr));
    EXPECT_EQ(trafficWithoutPolls(camera_),
              (Lines{"to B0 v=3 i=0 [1E 04 00]", "to B0 v=3 i=0 [1E 04 00] !31"}));
}

TEST_F(CommandTest, StrobeSetupMode1IgnoresTheFirstWrite) {
    presetRegister(0x1E, 0x0E00);
    fail(camera_, 9, 0xB0);
    StrobeSetup setup{0, 1};
    EXPECT_EQ(0, TarvexCommand(handle_, 37, &setup, nullptr));
    EXPECT_EQ(trafficWithoutPolls(camera_),
              (Lines{"to B0 v=3 i=0 [1E 0C 00] !31", "to B0 v=3 i=0 [1E 04 00]", "to B9 v=1 i=0 [01]"}));
}

TEST_F(CommandTest, StrobeSetupReportsAFailedStrobeByte) {
    fail(camera_, 9, 0xB9);
    StrobeSetup setup{1, 0};
    EXPECT_EQ(ERR_REQUEST_FAILED, TarvexCommand(handle_, 37, &setup, nullptr));
}

// ---- Command 40: register 0x0D pulse ---------------------------------------------

TEST_F(CommandTest, PulseWritesRegister0DSetThenClear) {
    presetRegister(0x0D, 0x00F0);
    int32_t zero = 0;
    uint32_t size = 55;
    EXPECT_EQ(0, TarvexCommand(handle_, 40, &zero, &size));
    EXPECT_EQ(55u, size);
    EXPECT_EQ(trafficWithoutPolls(camera_), (Lines{"to B0 v=3 i=0 [0D 00 F1]", "to B0 v=3 i=0 [0D 00 F0]"}));
    EXPECT_EQ(0x00F0, sensorRegister(camera_, 0x0D));
}

TEST_F(CommandTest, PulseDecidedByItsSecondWrite) {
    fail(camera_, 9, 0xB0);
    int32_t zero = 0;
    EXPECT_EQ(0, TarvexCommand(handle_, 40, &zero, nullptr));
    fail(camera_, 9, 0xB0, 2);
    EXPECT_EQ(ERR_REQUEST_FAILED, TarvexCommand(handle_, 40, &zero, nullptr));
}

TEST_F(CommandTest, PulseRefusesANonZeroArgumentWithoutTraffic) {
    for (int32_t value : {1, -1, 0x100, 0x10000}) {
        EXPECT_EQ(ERR_BAD_SELECTOR, TarvexCommand(handle_, 40, &value, nullptr)) << value;
    }
    EXPECT_EQ(traffic(camera_), Lines{});
}

// ---- Command 256: queries --------------------------------------------------------

class QueryTest : public CommandTest {
protected:
    ApiStatus query(int32_t code, int32_t* selector, bool withBytesReturned = true) {
        CommandQuery q{};
        q.queryCode = code;
        q.inBuffer = selector;
        q.inBufferSize = 4;
        q.outBuffer = &answer_;
        q.outBufferSize = 4;
        q.bytesReturned = withBytesReturned ? &bytesReturned_ : nullptr;
        return TarvexCommand(handle_, 256, &q, &size_);
    }

    uint32_t answer_ = 0x5A5A5A5A;
    uint32_t bytesReturned_ = 99;
    uint32_t size_ = 99;
};

TEST_F(QueryTest, Query12IsAFixedWordWithoutTraffic) {
    for (bool withBytesReturned : {true, false}) {
        answer_ = 0x5A5A5A5A;
        bytesReturned_ = 99;
        size_ = 99;
        EXPECT_EQ(0, query(12, nullptr, withBytesReturned));
        EXPECT_EQ(0xE0000000u, answer_);
        EXPECT_EQ(4u, size_);
        EXPECT_EQ(withBytesReturned ? 4u : 99u, bytesReturned_);
    }
    EXPECT_EQ(traffic(camera_), Lines{});
}

struct StatusCase {
    const char* name;
    int32_t selector;
    Lines traffic;
};

const StatusCase StatusCases[] = {
    {"DriverLastError", 0, {"code 452"}},
    {"DriverTransferStatus", 1, {"code 456"}},
    {"LastTransferResult", 2, {}},
};

class StatusQueryTest : public QueryTest, public ::testing::WithParamInterface<StatusCase> {};

TEST_P(StatusQueryTest, AnswersWithAndWithoutBytesReturned) {
    ASSERT_EQ(0, tarvex_sim_set(camera_, TARVEX_SIM_PROP_LAST_ERROR, 0x12345678));
    ASSERT_EQ(0, tarvex_sim_set(camera_, TARVEX_SIM_PROP_TRANSFER_STATUS, -1073741807));
    const uint32_t expected[] = {0x12345678u, static_cast<uint32_t>(-1073741807), 0u};
    for (bool withBytesReturned : {true, false}) {
        clearLog(camera_);
        int32_t selector = GetParam().selector;
        answer_ = 0x5A5A5A5A;
        bytesReturned_ = 99;
        size_ = 99;
        EXPECT_EQ(0, query(14, &selector, withBytesReturned));
        EXPECT_EQ(expected[selector], answer_);
        EXPECT_EQ(4u, size_);
        EXPECT_EQ(withBytesReturned ? 4u : 99u, bytesReturned_);
        EXPECT_EQ(traffic(camera_), GetParam().traffic);
    }
}

INSTANTIATE_TEST_SUITE_P(EverySelector, StatusQueryTest, ::testing::ValuesIn(StatusCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(QueryTest, FailedDriverQueryKeepsTheReportedSize) {
    for (int32_t selector : {0, 1}) {
        fail(camera_, selector == 0 ? 452 : 456);
        bytesReturned_ = 99;
        size_ = 99;
        EXPECT_EQ(ERR_STATUS_QUERY, query(14, &selector)) << selector;
        EXPECT_EQ(4u, size_);
        EXPECT_EQ(4u, bytesReturned_);
        shortCount(camera_, selector == 0 ? 452 : 456);
        EXPECT_EQ(ERR_STATUS_QUERY, query(14, &selector)) << selector;
    }
}

TEST_F(QueryTest, LastTransferResultFollowsTheLastTransfer) {
    ASSERT_EQ(0, TarvexStartSnap(handle_));
    ASSERT_EQ(0, tarvex_sim_set(camera_, TARVEX_SIM_PROP_TRANSFER_STATUS, 3));
    std::vector<uint8_t> frame(size_t{TARVEX_SENSOR_WIDTH} * TARVEX_SENSOR_HEIGHT);
    uint32_t bytes = 0;
    ASSERT_EQ(3, TarvexTransfer(handle_, frame.data(), &bytes));
    clearLog(camera_);
    int32_t selector = 2;
    EXPECT_EQ(0, query(14, &selector));
    EXPECT_EQ(3u, answer_);
    EXPECT_EQ(traffic(camera_), Lines{});
}

TEST_F(QueryTest, RefusedSelectorReportsNoAnswer) {
    for (int32_t selector : {3, -1, 0x100, 0x102}) {
        answer_ = 0x5A5A5A5A;
        bytesReturned_ = 99;
        size_ = 99;
        EXPECT_EQ(ERR_BAD_SELECTOR, query(14, &selector)) << selector;
        EXPECT_EQ(0u, size_);
        EXPECT_EQ(0u, bytesReturned_);
        EXPECT_EQ(0x5A5A5A5Au, answer_);
        size_ = 99;
        EXPECT_EQ(ERR_BAD_SELECTOR, query(14, &selector, false)) << selector;
        EXPECT_EQ(0u, size_);
    }
    EXPECT_EQ(traffic(camera_), Lines{});
}

TEST_F(QueryTest, UnknownQueryCodeLeavesBytesReturnedAlone) {
    int32_t selector = 0;
    for (int32_t code : {13, 0, 11, 15, 0x10C, 0x10E}) {
        bytesReturned_ = 99;
        size_ = 99;
        EXPECT_EQ(ERR_BAD_SELECTOR, query(code, &selector)) << code;
        EXPECT_EQ(0u, size_);
        EXPECT_EQ(99u, bytesReturned_);
        EXPECT_EQ(0x5A5A5A5Au, answer_);
    }
    EXPECT_EQ(traffic(camera_), Lines{});
}

// ---- Null pointers ---------------------------------------------------------------

TEST_F(CommandTest, NullPointersWhereUsedAreRefusedWithoutTraffic) {
    uint8_t block[4] = {};
    uint32_t four = 4;
    for (uint32_t command : {0u, 1u, 2u}) {
        EXPECT_EQ(ERR_OUT_OF_RANGE, TarvexCommand(handle_, command, nullptr, &four)) << command;
        EXPECT_EQ(ERR_OUT_OF_RANGE, TarvexCommand(handle_, command, block, nullptr)) << command;
    }
    for (uint32_t command : {3u, 37u, 40u, 48u, 256u}) {
        EXPECT_EQ(ERR_OUT_OF_RANGE, TarvexCommand(handle_, command, nullptr, &four)) << command;
    }
    EXPECT_EQ(4u, four);
    // An unknown command writes *size.
    EXPECT_EQ(ERR_OUT_OF_RANGE, TarvexCommand(handle_, 5, nullptr, nullptr));

    uint32_t answer = 0;
    uint32_t size = 99;
    int32_t selector = 0;
    CommandQuery noSize{12, nullptr, 0, &answer, 4, nullptr};
    EXPECT_EQ(ERR_OUT_OF_RANGE, TarvexCommand(handle_, 256, &noSize, nullptr));
    CommandQuery noAnswer12{12, nullptr, 0, nullptr, 4, nullptr};
    EXPECT_EQ(ERR_OUT_OF_RANGE, TarvexCommand(handle_, 256, &noAnswer12, &size));
    CommandQuery noSelector{14, nullptr, 0, &answer, 4, nullptr};
    EXPECT_EQ(ERR_OUT_OF_RANGE, TarvexCommand(handle_, 256, &noSelector, &size));
    uint32_t bytesReturned = 99;
    CommandQuery noAnswer14{14, &selector, 4, nullptr, 4, &bytesReturned};
    EXPECT_EQ(ERR_OUT_OF_RANGE, TarvexCommand(handle_, 256, &noAnswer14, &size));
    EXPECT_EQ(99u, size);
    EXPECT_EQ(99u, bytesReturned);
    EXPECT_EQ(traffic(camera_), Lines{});
}

TEST_F(CommandTest, EmptyBlocksNeedNoData) {
    uint32_t zero = 0;
    EXPECT_EQ(0, TarvexCommand(handle_, 0, nullptr, &zero));
    EXPECT_EQ(0, TarvexCommand(handle_, 2, nullptr, &zero));
    EXPECT_EQ(trafficWithoutPolls(camera_), (Lines{"to BD v=0 i=0 []", "from C3 v=0 i=0 n=0"}));
}

TEST_F(CommandTest, InvalidHandleTouchesNothing) {
    CameraHandle closed = open(attach("S4"), 2);
    ASSERT_EQ(0, close(closed));
    for (CameraHandle handle : {CameraHandle{nullptr}, closed}) {
        for (uint32_t command : {0u, 5u, 256u}) {
            uint32_t size = 9;
            EXPECT_EQ(ERR_INVALID_HANDLE, TarvexCommand(handle, command, nullptr, &size));
            EXPECT_EQ(9u, size);
        }
    }
    EXPECT_EQ(traffic(camera_), Lines{});
}

}  // namespace
