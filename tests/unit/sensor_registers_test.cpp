// The mirrored register map, bit-field updates of the shadow and the I2C
// framing of register writes and reads.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/win32.h"
#include "sensor/sensor_registers.h"
#include "tarvex_device.h"
#include "unit/raw_device_fixture.h"

namespace tarvex {
namespace {

using Lines = std::vector<std::string>;

TEST(SensorRegisterMap, FindsMirroredRegistersOnly) {
    EXPECT_EQ(0, findSensorRegister(0x00));
    EXPECT_EQ(12, findSensorRegister(0x1E));
    EXPECT_EQ(25, findSensorRegister(0xF1));
    EXPECT_EQ(0, findSensorRegister(0x10000));  // only the low 16 bits count
    for (uint32_t missing : {0x08u, 0x0Au, 0x0Eu, 0x1Du, 0xFFu}) {
        EXPECT_EQ(ERR_OUT_OF_RANGE, findSensorRegister(missing)) << missing;
    }
}

struct FieldCase {
    uint16_t address;
    uint16_t mask;
    uint32_t value;
    unsigned shift;
    uint16_t expected;
    const char* what;
};

class FieldUpdate : public ::testing::TestWithParam<FieldCase> {};

TEST_P(FieldUpdate, MergesIntoTheDefaultAndHandsBackTheWholeRegister) {
    const FieldCase& c = GetParam();
    uint16_t shadow[MIRRORED_REGISTER_COUNT];
    std::memcpy(shadow, SensorRegisterDefaults, sizeof shadow);
    uint32_t value = c.value;
    ASSERT_EQ(0, updateRegisterField(shadow, c.address, c.mask, value, c.shift)) << c.what;
    EXPECT_EQ(c.expected, shadow[findSensorRegister(c.address)]) << c.what;
    EXPECT_EQ(c.expected, value) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Fields, FieldUpdate,
                         ::testing::Values(FieldCase{0x20, 0x8080, 0x0101, 7, 0x9384, "mirror on"},
                                           FieldCase{0x1E, 0x0100, 1, 8, 0x8700, "snap mode bit"},
                                           FieldCase{0x62, 0x0001, 2, 0, 0x849A, "a wide value spills over"},
                                           FieldCase{0x05, 0xFFFF, 0x1234, 0, 0x1234, "whole register"},
                                           FieldCase{0x09, 0x3FFF, 0x1FFFF, 0, 0xFFFF, "kept to 16 bits"}));

TEST(FieldUpdateOutsideTheMap, ChangesNothing) {
    uint16_t shadow[MIRRORED_REGISTER_COUNT];
    std::memcpy(shadow, SensorRegisterDefaults, sizeof shadow);
    uint32_t value = 7;
    EXPECT_EQ(ERR_OUT_OF_RANGE, updateRegisterField(shadow, 0x08, 0xFFFF, value, 0));
    EXPECT_EQ(7u, value);
    EXPECT_EQ(0, std::memcmp(shadow, SensorRegisterDefaults, sizeof shadow));
}

class SensorFramingTest : public tarvex_test::RawDeviceTest {
protected:
    void SetUp() override {
        RawDeviceTest::SetUp();
        tarvex_sim_set(camera_, TARVEX_SIM_PROP_BUSY_READS_BIT0, 0);
    }
    void TearDown() override {
        tarvex_system_fail_allocation(TARVEX_ALLOC_HEAP, 0, 0);
        RawDeviceTest::TearDown();
    }
};

TEST_F(SensorFramingTest, ConsecutiveRegistersGoInOneFrameHighByteFirst) {
    const uint16_t values[2] = {0x0009, 0x0019};
    EXPECT_EQ(0, writeSensorRegisters(device_, 0x05, values, 2));
    EXPECT_EQ(traffic(camera_), (Lines{"to B0 v=5 i=0 [05 00 09 00 19]", "from B4 v=1 i=0 n=1"}));
}

TEST_F(SensorFramingTest, CountIsTakenModulo65536) {
    std::vector<uint16_t> values(65537, 0xABCD);
    EXPECT_EQ(0, writeSensorRegisters(device_, 0x07, values.data(), 65536));
    EXPECT_EQ(0, writeSensorRegisters(device_, 0x07, values.data(), 65537));
    EXPECT_EQ(traffic(camera_), (Lines{"to B0 v=1 i=0 [07]", "from B4 v=1 i=0 n=1",
                                       "to B0 v=3 i=0 [07 AB CD]", "from B4 v=1 i=0 n=1"}));
}

TEST_F(SensorFramingTest, LongFramesKeepOnlyTheLowBitsOfTheirLength) {
    std::vector<uint16_t> values(32768, 0);
    EXPECT_EQ(0, writeSensorRegisters(device_, 0x00, values.data(), 32768));
    std::vector<tarvex_sim_call> sent = calls(camera_);
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(1, sent[0].value);  // 65537 in 16 bits
    EXPECT_EQ(65537u, sent[0].out_size);
}

TEST_F(SensorFramingTest, ReadAddressesThenReadsIntoHostOrder) {
    uint16_t value = 0;
    EXPECT_EQ(0, readSensorRegisters(device_, 0x00, &value, 1));
    EXPECT_EQ(0x8401, value);
    EXPECT_EQ(traffic(camera_), (Lines{"to B0 v=1 i=0 [00]", "from B4 v=1 i=0 n=1", "from B1 v=2 i=0 n=2"}));
}

TEST_F(SensorFramingTest, ReadOfZeroRegistersStillAddresses) {
    EXPECT_EQ(0, readSensorRegisters(device_, 0x20, nullptr, 0));
    EXPECT_EQ(traffic(camera_), (Lines{"to B0 v=1 i=0 [20]", "from B4 v=1 i=0 n=1", "from B1 v=0 i=0 n=0"}));
}

TEST_F(SensorFramingTest, FailedAddressWriteEndsTheRead) {
    fail(camera_, 9, 0xB0);
    uint16_t value = 0x5555;
    EXPECT_EQ(ERR_REQUEST_FAILED, readSensorRegisters(device_, 0x00, &value, 1));
    EXPECT_EQ(traffic(camera_), (Lines{"to B0 v=1 i=0 [00] !31"}));
}

TEST_F(SensorFramingTest, FailedReadIsNotSwapped) {
    shortCount(camera_, 6, 0xB1);
    uint16_t values[2] = {0, 0};
    EXPECT_EQ(ERR_REQUEST_FAILED, readSensorRegisters(device_, 0x00, values, 2));
}

TEST_F(SensorFramingTest, FrameWithoutMemorySendsNothing) {
    tarvex_system_fail_allocation(TARVEX_ALLOC_HEAP, 1, 1);
    const uint16_t value = 1;
    EXPECT_EQ(ERR_NO_MEMORY, writeSensorRegisters(device_, 0x05, &value, 1));
    EXPECT_TRUE(traffic(camera_).empty());
}

TEST_F(SensorFramingTest, FailedWriteKeepsTheShadowAndTheNextFieldWriteCarriesBoth) {
    uint16_t shadow[MIRRORED_REGISTER_COUNT];
    std::memcpy(shadow, SensorRegisterDefaults, sizeof shadow);
    fail(camera_, 9, 0xB0);
    EXPECT_EQ(ERR_REQUEST_FAILED, writeRegisterField(device_, shadow, 0x1E, 0x0100, 1, 8));
    EXPECT_EQ(0x8700, shadow[findSensorRegister(0x1E)]);
    EXPECT_EQ(0, writeRegisterField(device_, shadow, 0x1E, 0x000C, 3, 2));
    EXPECT_EQ(0x870C, sensorRegister(camera_, 0x1E));
}

}  // namespace
}  // namespace tarvex
