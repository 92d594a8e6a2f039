// The sensor behind the I2C bridge: power-on values, write frames to
// consecutive registers (wrapping at 256) and reads from the address the last
// frame set.
#include "sim_driver_fixture.h"
#include "support/sim_fixture.h"

namespace tarvex_test {
namespace {

uint16_t sensorValue(int32_t camera, uint8_t address) {
    uint16_t value = 0;
    EXPECT_EQ(2, tarvex_sim_read_memory(camera, TARVEX_SIM_MEM_SENSOR, address * 2u, &value, 2));
    return value;
}

TEST_F(SimDriverTest, SensorStartsWithItsPowerOnValues) {
    int32_t camera = tarvex_sim_attach("UA");
    struct {
        uint8_t address;
        uint16_t value;
    } const expected[] = {{0x00, 0x8401}, {0x01, 0x000C}, {0x04, 0x04FF}, {0x06, 0x0019}, {0x07, 0x0002},
                          {0x08, 0x0000}, {0x09, 0x0419}, {0x1E, 0x8600}, {0x20, 0x1304}, {0x2B, 0x0008},
                          {0x35, 0x0008}, {0x5F, 0x0904}, {0x62, 0x8498}, {0xF1, 0x0001}, {0xFF, 0x0000}};
    for (const auto& entry : expected) {
        EXPECT_EQ(entry.value, sensorValue(camera, entry.address)) << std::hex << int(entry.address);
    }
}

struct FrameCase {
    const char* name;
    std::vector<uint8_t> frame;
    std::vector<std::pair<uint8_t, uint16_t>> registers;  // afterwards
    uint32_t readLength;                                  // then read from the frame's address
    std::vector<uint8_t> readBack;
};

void PrintTo(const FrameCase& c, std::ostream* out) {
    *out << c.name;
}

class WriteFrames : public SimDriverTest, public ::testing::WithParamInterface<FrameCase> {};

TEST_P(WriteFrames, StoreConsecutiveRegistersAndSetTheReadAddress) {
    const FrameCase& c = GetParam();
    int32_t camera = 0;
    HANDLE handle = attachAndOpen("UA", &camera);
    std::vector<uint8_t> frame = c.frame;
    uint32_t length = static_cast<uint32_t>(frame.size());
    ASSERT_EQ(succeeded(length),
              vendor(handle, true, 0xB0, static_cast<uint16_t>(length), 0, frame.data(), length));
    for (const auto& [address, value] : c.registers) {
        EXPECT_EQ(value, sensorValue(camera, address)) << std::hex << int(address);
    }
    std::vector<uint8_t> read(c.readLength, 0xEE);
    ASSERT_EQ(succeeded(c.readLength),
              vendor(handle, false, 0xB1, static_cast<uint16_t>(c.readLength), 0, read.data(), c.readLength));
    EXPECT_EQ(c.readBack, read);
}

INSTANTIATE_TEST_SUITE_P(
    Framing, WriteFrames,
    ::testing::Values(
        FrameCase{"one_register", {0x05, 0x12, 0x34}, {{0x05, 0x1234}, {0x06, 0x0019}}, 2, {0x12, 0x34}},
        FrameCase{"two_registers",
                  {0x05, 0x00, 0x09, 0x00, 0x19},
                  {{0x05, 9}, {0x06, 25}},
                  4,
                  {0x00, 0x09, 0x00, 0x19}},
        FrameCase{"address_only", {0x00}, {{0x00, 0x8401}}, 2, {0x84, 0x01}},
        FrameCase{"wraps_at_256",
                  {0xFF, 0xAA, 0xBB, 0xCC, 0xDD},
                  {{0xFF, 0xAABB}, {0x00, 0xCCDD}},
                  4,
                  {0xAA, 0xBB, 0xCC, 0xDD}},
        FrameCase{"odd_trailing_byte_ignored",
                  {0x07, 0x00, 0x05, 0x77},
                  {{0x07, 5}, {0x08, 0}},
                  4,
                  {0x00, 0x05, 0x00, 0x00}},
        FrameCase{"odd_read_ends_with_a_high_byte", {0x01}, {}, 3, {0x00, 0x0C, 0x00}},
        FrameCase{"empty_read", {0x1E}, {}, 0, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SimDriverTest, EmptyFrameLeavesTheReadAddress) {
    HANDLE handle = attachAndOpen();
    writeRegisters(handle, 0x09, {});
    ASSERT_EQ(succeeded(0), vendor(handle, true, 0xB0, 0, 0, nullptr, 0));
    uint8_t read[2];
    ASSERT_EQ(succeeded(2), vendor(handle, false, 0xB1, 2, 0, read, 2));
    EXPECT_EQ(0x04, read[0]);
    EXPECT_EQ(0x19, read[1]);
}

TEST_F(SimDriverTest, ReadsDoNotMoveTheAddressAndAreCounted) {
    int32_t camera = 0;
    HANDLE handle = attachAndOpen("UA", &camera);
    writeRegisters(handle, 0x1E, {});
    uint8_t read[2];
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(succeeded(2), vendor(handle, false, 0xB1, 2, 0, read, 2));
        EXPECT_EQ(0x86, read[0]);
    }
    EXPECT_EQ(3, property(camera, TARVEX_SIM_PROP_SENSOR_READS));
}

// What the library's register operations see.
class SensorThroughLibrary : public SimCameraTest {};

TEST_F(SensorThroughLibrary, RegisterReadReturnsTheSensorValues) {
    int32_t camera = attach("UA");
    CameraHandle handle = open(camera);
    uint16_t values[3] = {};
    ASSERT_EQ(0, TarvexI2CRead(handle, 0x00, values, 3));
    EXPECT_EQ(0x8401, values[0]);
    EXPECT_EQ(0x000C, values[1]);
    EXPECT_EQ(0x0014, values[2]);
    EXPECT_EQ((std::vector<std::string>{"to B0 v=1 i=0 [00]", "from B4 v=1 i=0 n=1", "from B4 v=1 i=0 n=1",
                                        "from B1 v=6 i=0 n=6"}),
              traffic(camera));
}

TEST_F(SensorThroughLibrary, RegisterWriteLandsInTheSensor) {
    int32_t camera = attach("UA");
    CameraHandle handle = open(camera);
    uint16_t values[2] = {0x0123, 0x0456};
    ASSERT_EQ(0, TarvexI2CWrite(handle, 0x05, values, 2));
    EXPECT_EQ(0x0123, sensorRegister(camera, 0x05));
    EXPECT_EQ(0x0456, sensorRegister(camera, 0x06));
}

}  // namespace
}  // namespace tarvex_test
