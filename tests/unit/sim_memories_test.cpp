// The camera's memories and ports as the vendor requests and the control
// interface reach them: controller memory and CPU byte, device memory,
// EEPROM, firmware blocks, bulk pipe, sync level and peripheral port.
#include "sim_driver_fixture.h"
#include "support/sim_fixture.h"

namespace tarvex_test {
namespace {

std::vector<uint8_t> bytes(int32_t camera, int32_t memory, uint32_t offset, uint32_t length) {
    std::vector<uint8_t> out(length);
    int32_t moved = tarvex_sim_read_memory(camera, memory, offset, out.data(), length);
    out.resize(moved < 0 ? 0 : static_cast<size_t>(moved));
    return out;
}

TEST_F(SimDriverTest, FirmwareChunksLandAtTheirValueAndTheCpuByteFollowsCode12) {
    int32_t camera = 0;
    HANDLE handle = attachAndOpen("UA", &camera);
    uint8_t chunk[4] = {0x02, 0x00, 0x80, 0xFE};
    ASSERT_EQ(succeeded(4), vendor(handle, true, 0xA0, 0x0040, 0, chunk, 4));
    EXPECT_EQ((std::vector<uint8_t>{0x02, 0x00, 0x80, 0xFE}),
              bytes(camera, TARVEX_SIM_MEM_CONTROLLER, 0x40, 4));
    EXPECT_EQ(0x44, property(camera, TARVEX_SIM_PROP_FIRMWARE_BYTES));
    uint8_t hold[10] = {0xA0, 0, 0x00, 0xE6, 0, 0, 1, 0, 0, 1};
    ASSERT_EQ(succeeded(0), call(handle, 12, hold, 10, nullptr, 0));
    EXPECT_EQ(1, property(camera, TARVEX_SIM_PROP_CPU_HELD));
    hold[9] = 0;
    ASSERT_EQ(succeeded(0), call(handle, 12, hold, 10, nullptr, 0));
    EXPECT_EQ(0, property(camera, TARVEX_SIM_PROP_CPU_HELD));
}

TEST_F(SimDriverTest, DeviceMemoryWrapsAt64KiB) {
    int32_t camera = 0;
    HANDLE handle = attachAndOpen("UA", &camera);
    uint8_t data[4] = {1, 2, 3, 4};
    ASSERT_EQ(succeeded(4), vendor(handle, true, 0xBA, 4, 0xFFFE, data, 4));
    EXPECT_EQ((std::vector<uint8_t>{3, 4}), bytes(camera, TARVEX_SIM_MEM_DEVICE, 0, 2));
    uint8_t read[4] = {};
    ASSERT_EQ(succeeded(4), vendor(handle, false, 0xBB, 4, 0xFFFE, read, 4));
    EXPECT_EQ(0, std::memcmp(data, read, 4));
    // The control interface stops at the end instead.
    EXPECT_EQ(2u, bytes(camera, TARVEX_SIM_MEM_DEVICE, 0xFFFE, 8).size());
}

TEST_F(SimDriverTest, EepromKeepsTheImageLastStored) {
    int32_t camera = 0;
    HANDLE handle = attachAndOpen("UA", &camera);
    std::vector<uint8_t> image(100, 0x5A);
    ASSERT_EQ(succeeded(100), vendor(handle, true, 0xA2, 0, 0xBEEF, image.data(), 100));
    EXPECT_EQ(100, property(camera, TARVEX_SIM_PROP_EEPROM_BYTES));
    EXPECT_EQ(image, bytes(camera, TARVEX_SIM_MEM_EEPROM, 0, 100));
    ASSERT_EQ(succeeded(10), vendor(handle, true, 0xA2, 0, 0xBEEF, image.data(), 10));
    EXPECT_EQ(10, property(camera, TARVEX_SIM_PROP_EEPROM_BYTES));
}

TEST_F(SimDriverTest, FirmwareBlockReadsBack) {
    int32_t camera = 0;
    HANDLE handle = attachAndOpen("UA", &camera);
    uint8_t block[3] = {7, 8, 9};
    ASSERT_EQ(succeeded(3), vendor(handle, true, 0xBF, 3, 0, block, 3));
    EXPECT_EQ((std::vector<uint8_t>{7, 8, 9}), bytes(camera, TARVEX_SIM_MEM_FIRMWARE_BLOCK, 0, 3));
    uint8_t read[5] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
    ASSERT_EQ(succeeded(5), vendor(handle, false, 0xC3, 5, 0, read, 5));
    EXPECT_EQ((std::vector<uint8_t>{7, 8, 9, 0, 0}), std::vector<uint8_t>(read, read + 5));
}

TEST_F(SimDriverTest, BulkPipeReturnsWhatWasWrittenInOrder) {
    int32_t camera = 0;
    HANDLE handle = attachAndOpen("UA", &camera);
    uint32_t pipe = 1;
    uint8_t data[6] = {1, 2, 3, 4, 5, 6};
    ASSERT_EQ(succeeded(6), call(handle, 329, &pipe, 4, data, 6));
    EXPECT_EQ((std::vector<uint8_t>{1, 2, 3, 4, 5, 6}), bytes(camera, TARVEX_SIM_MEM_BULK, 0, 16));
    uint8_t read[4] = {};
    ASSERT_EQ(succeeded(4), call(handle, 326, &pipe, 4, read, 4));
    EXPECT_EQ(4, read[3]);
    // More than is waiting: what there is.
    ASSERT_EQ(succeeded(2), call(handle, 326, &pipe, 4, read, 4));
    EXPECT_EQ(6, read[1]);
    ASSERT_EQ(succeeded(0), call(handle, 326, &pipe, 4, read, 4));
    // The control interface can queue data for a read.
    uint8_t queued[2] = {0xAB, 0xCD};
    ASSERT_EQ(2, tarvex_sim_write_memory(camera, TARVEX_SIM_MEM_BULK, 0, queued, 2));
    ASSERT_EQ(succeeded(2), call(handle, 326, &pipe, 4, read, 4));
    EXPECT_EQ(0xAB, read[0]);
}

TEST_F(SimDriverTest, SyncLevelFollowsTheFrameTiming) {
    int32_t camera = 0;
    HANDLE handle = attachAndOpen("UA", &camera);
    int32_t status;
    callWithValue(handle, 340, 1280 * 1024, &status, 4);
    writeByte(handle, 0xBC, 1);
    uint64_t originUs = lastCall(camera).time_us;
    // A frame period of 32768 us: high for the readout, low for the last 3276 us.
    struct {
        uint64_t atUs;
        uint8_t level;
    } const samples[] = {{1000, 1}, {29000, 1}, {29600, 0}, {32000, 0}, {33768, 1}, {62000, 1}, {63000, 0}};
    for (const auto& sample : samples) {
        uint64_t now = lastCall(camera).time_us;  // the clock stands still between calls
        ASSERT_EQ(0, tarvex_sim_clock_advance_us(originUs + sample.atUs - STEP_US - now));
        uint32_t pipe = 0;
        uint8_t level = 0xEE;
        ASSERT_EQ(succeeded(1), call(handle, 326, &pipe, 4, &level, 4));
        EXPECT_EQ(originUs + sample.atUs, lastCall(camera).time_us);
        EXPECT_EQ(sample.level, level) << sample.atUs;
    }
}

TEST_F(SimDriverTest, ScriptedSyncLevelThenHoldsItsLastLevel) {
    int32_t camera = 0;
    HANDLE handle = attachAndOpen("UA", &camera);
    const uint8_t script[] = {0, 7, 1, 0};
    ASSERT_EQ(0, tarvex_sim_script_sync(camera, script, sizeof script));
    EXPECT_EQ(1, property(camera, TARVEX_SIM_PROP_SYNC_MODE));
    std::string levels;
    for (int i = 0; i < 6; ++i) {
        uint32_t pipe = 0;
        uint8_t level = 0xEE;
        call(handle, 326, &pipe, 4, &level, 1);
        levels += static_cast<char>('0' + level);
    }
    EXPECT_EQ("011000", levels);
    std::vector<uint8_t> tooLong(4097, 1);
    EXPECT_EQ(TARVEX_SIM_EINVAL, tarvex_sim_script_sync(camera, tooLong.data(), 4097));
    EXPECT_EQ(TARVEX_SIM_EINVAL, tarvex_sim_set(camera, TARVEX_SIM_PROP_SYNC_MODE, 2));
}

class PortsThroughLibrary : public SimCameraTest {};

TEST_F(PortsThroughLibrary, WaitSyncReturnsAtTheScriptedFall) {
    int32_t camera = attach("UA");
    CameraHandle handle = open(camera);
    const uint8_t script[] = {0, 0, 1, 1, 0};
    ASSERT_EQ(0, tarvex_sim_script_sync(camera, script, sizeof script));
    ASSERT_EQ(0, TarvexWaitSync(handle));
    EXPECT_EQ(5u, traffic(camera).size());
}

TEST_F(PortsThroughLibrary, PeripheralPortKeepsOutputsCountsActionsAnswersInputs) {
    int32_t camera = attach("UA:inputs=0x07");
    CameraHandle handle = open(camera);
    EXPECT_EQ(0x3C, property(camera, TARVEX_SIM_PROP_PERIPHERAL_OUTPUTS));  // sent at open
    int64_t actions = property(camera, TARVEX_SIM_PROP_PERIPHERAL_ACTIONS);
    ASSERT_EQ(0, TarvexPeriDeviceControl(handle, 2, 1));
    EXPECT_EQ(0x38, property(camera, TARVEX_SIM_PROP_PERIPHERAL_OUTPUTS));
    ASSERT_EQ(0, TarvexPeriDeviceControl(handle, 4, 0));
    EXPECT_EQ(actions + 1, property(camera, TARVEX_SIM_PROP_PERIPHERAL_ACTIONS));
    uint8_t status = 0xEE;
    ASSERT_EQ(0, TarvexGetArriveStatus(handle, &status));
    EXPECT_EQ(0x01, status);
    ASSERT_EQ(0, tarvex_sim_set(camera, TARVEX_SIM_PROP_PERIPHERAL_INPUTS, 0));
    ASSERT_EQ(0, TarvexGetArriveStatus(handle, &status));
    EXPECT_EQ(0x06, status);
}

TEST_F(SimDriverTest, MemoriesRefuseUnknownKindsAndNullBuffers) {
    int32_t camera = tarvex_sim_attach("UA");
    uint8_t byte = 0;
    EXPECT_EQ(TARVEX_SIM_EINVAL, tarvex_sim_read_memory(camera, 99, 0, &byte, 1));
    EXPECT_EQ(TARVEX_SIM_EINVAL, tarvex_sim_read_memory(camera, TARVEX_SIM_MEM_DEVICE, 0, nullptr, 1));
    EXPECT_EQ(0, tarvex_sim_read_memory(camera, TARVEX_SIM_MEM_DEVICE, 0, nullptr, 0));
    EXPECT_EQ(TARVEX_SIM_ENOCAMERA, tarvex_sim_read_memory(camera + 1, TARVEX_SIM_MEM_DEVICE, 0, &byte, 1));
    EXPECT_EQ(0, tarvex_sim_read_memory(camera, TARVEX_SIM_MEM_SLOT, 12, &byte, 1));
    // A string is replaced whole and holds whole code units.
    EXPECT_EQ(TARVEX_SIM_EINVAL, tarvex_sim_write_memory(camera, TARVEX_SIM_MEM_STRING1, 0, &byte, 1));
    std::vector<uint8_t> tooLong(254, 'U');
    EXPECT_EQ(TARVEX_SIM_EINVAL,
              tarvex_sim_write_memory(camera, TARVEX_SIM_MEM_STRING2, 0, tooLong.data(), 254));
    uint16_t unit = 'U';
    ASSERT_EQ(2, tarvex_sim_write_memory(camera, TARVEX_SIM_MEM_STRING1, 0, &unit, 2));
    EXPECT_EQ(2u, bytes(camera, TARVEX_SIM_MEM_STRING1, 0, 64).size());
    EXPECT_EQ(0, property(camera, TARVEX_SIM_PROP_VARIANT));
}

TEST_F(SimDriverTest, SlotRecordIsBusPortAndSpeed) {
    int32_t camera = 0;
    HANDLE handle = attachAndOpen("UA:number=4", &camera);
    uint32_t record[3] = {};
    ASSERT_EQ(succeeded(12), call(handle, 448, nullptr, 0, record, 12));
    EXPECT_EQ(1u, record[0]);
    EXPECT_EQ(4u, record[1]);
    EXPECT_EQ(2u, record[2]);
    const uint32_t changed[3] = {5, 6, 7};
    ASSERT_EQ(12, tarvex_sim_write_memory(camera, TARVEX_SIM_MEM_SLOT, 0, changed, 12));
    ASSERT_EQ(succeeded(12), call(handle, 448, nullptr, 0, record, 12));
    EXPECT_EQ(6u, record[1]);
}

}  // namespace
}  // namespace tarvex_test
