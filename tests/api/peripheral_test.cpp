// The peripheral port of variant-2 cameras.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/sim_fixture.h"

namespace {

using tarvex_test::SimCameraTest;
using Lines = std::vector<std::string>;

class PeripheralTest : public SimCameraTest {
protected:
    void SetUp() override {
        SimCameraTest::SetUp();
        camera_ = attach("UA");
        handle_ = open(camera_);
    }

    static std::string outputLine(uint8_t byte) {
        char line[32];
        std::snprintf(line, sizeof line, "to D1 v=%u i=0 [%02X]", byte, byte);
        return line;
    }

    int32_t camera_ = 0;
    CameraHandle handle_ = nullptr;
};

// One output set from the byte at open (0x3C).
struct OutputCase {
    uint32_t selector;
    uint32_t value;
    uint8_t sent;
};

class OutputTest : public PeripheralTest, public ::testing::WithParamInterface<OutputCase> {};

TEST_P(OutputTest, ComposesTheOutputByteFromTheOneAtOpen) {
    const OutputCase& c = GetParam();
    EXPECT_EQ(0, TarvexPeriDeviceControl(handle_, c.selector, c.value));
    EXPECT_EQ(Lines{outputLine(c.sent)}, traffic(camera_));
    EXPECT_EQ(c.sent, property(camera_, TARVEX_SIM_PROP_PERIPHERAL_OUTPUTS));
}

INSTANTIATE_TEST_SUITE_P(BitTable, OutputTest,
                         ::testing::Values(
                             // Outputs 0 and 1 take the value's low byte as it is.
                             OutputCase{0, 1, 0x3D}, OutputCase{0, 0, 0x3C}, OutputCase{1, 1, 0x3E},
                             OutputCase{0, 3, 0x3F},      // spills into bit 1
                             OutputCase{1, 0x80, 0x3C},   // shifted past bit 7: lost
                             OutputCase{1, 0x101, 0x3E},  // only the low byte
                             OutputCase{0, 0xFF, 0xFF},   // the whole byte lands
                             // Outputs 2, 3, 5, 6 are inverted and take bit 0 only.
                             OutputCase{2, 1, 0x38}, OutputCase{2, 0, 0x3C}, OutputCase{3, 1, 0x34},
                             OutputCase{3, 2, 0x3C}, OutputCase{5, 1, 0x2C}, OutputCase{6, 1, 0x1C},
                             OutputCase{6, 0xFF, 0x1C},
                             // Only the low byte of the selector counts.
                             OutputCase{0x102, 1, 0x38}));

TEST_F(PeripheralTest, OutputsAccumulateInTheRecord) {
    EXPECT_EQ(0, TarvexPeriDeviceControl(handle_, 0, 1));
    EXPECT_EQ(0, TarvexPeriDeviceControl(handle_, 6, 1));
    EXPECT_EQ(0, TarvexPeriDeviceControl(handle_, 2, 1));
    EXPECT_EQ(0, TarvexPeriDeviceControl(handle_, 0, 0));
    EXPECT_EQ((Lines{outputLine(0x3D), outputLine(0x1D), outputLine(0x19), outputLine(0x18)}),
              traffic(camera_));
}

TEST_F(PeripheralTest, SelectorFourIsTheActionAndLeavesTheOutputs) {
    int64_t actionsAtOpen = property(camera_, TARVEX_SIM_PROP_PERIPHERAL_ACTIONS);
    EXPECT_EQ(0, TarvexPeriDeviceControl(handle_, 4, 0xFF));
    EXPECT_EQ(0, TarvexPeriDeviceControl(handle_, 0x104, 1));
    EXPECT_EQ(0, TarvexPeriDeviceControl(handle_, 0, 1));
    EXPECT_EQ((Lines{"to D3 v=0 i=0 [00]", "to D3 v=0 i=0 [00]", outputLine(0x3D)}), traffic(camera_));
    EXPECT_EQ(actionsAtOpen + 2, property(camera_, TARVEX_SIM_PROP_PERIPHERAL_ACTIONS));
}

TEST_F(PeripheralTest, ASelectorAboveSixIsRefusedWithNothingSent) {
    for (uint32_t selector : {7u, 9u, 255u, 0x107u}) {
        EXPECT_EQ(ERR_BAD_SELECTOR, TarvexPeriDeviceControl(handle_, selector, 1));
    }
    EXPECT_EQ(ERR_INVALID_HANDLE, TarvexPeriDeviceControl(nullptr, 9, 1));
    EXPECT_TRUE(traffic(camera_).empty());
}

TEST_F(PeripheralTest, AFailedOutputRequestKeepsTheNewByte) {
    fail(camera_, 9, 0xD1);
    EXPECT_EQ(ERR_REQUEST_FAILED, TarvexPeriDeviceControl(handle_, 0, 1));
    shortCount(camera_, 9, 0xD3);
    EXPECT_EQ(ERR_REQUEST_FAILED, TarvexPeriDeviceControl(handle_, 4, 0));
    EXPECT_EQ(0, TarvexPeriDeviceControl(handle_, 1, 1));
    EXPECT_EQ(outputLine(0x3F), traffic(camera_).back());
}

struct InputCase {
    uint8_t device;
    uint8_t status;
};

class InputTest : public PeripheralTest, public ::testing::WithParamInterface<InputCase> {};

TEST_P(InputTest, InvertsInputsOneAndTwo) {
    ASSERT_EQ(0, tarvex_sim_set(camera_, TARVEX_SIM_PROP_PERIPHERAL_INPUTS, GetParam().device));
    uint8_t status = 0xEE;
    EXPECT_EQ(0, TarvexGetArriveStatus(handle_, &status));
    EXPECT_EQ(GetParam().status, status);
    EXPECT_EQ(Lines{"from D2 v=1 i=0 n=1"}, traffic(camera_));
}

INSTANTIATE_TEST_SUITE_P(Bytes, InputTest,
                         ::testing::Values(InputCase{0x07, 0x01}, InputCase{0x00, 0x06},
                                           InputCase{0xF8, 0x06}, InputCase{0x01, 0x07},
                                           InputCase{0x02, 0x04}, InputCase{0x04, 0x02},
                                           InputCase{0xFF, 0x01}));

TEST_F(PeripheralTest, AFailedOrShortInputReadLeavesTheStatusZero) {
    ASSERT_EQ(0, tarvex_sim_set(camera_, TARVEX_SIM_PROP_PERIPHERAL_INPUTS, 0x01));
    uint8_t status = 0xEE;
    fail(camera_, 6, 0xD2);
    EXPECT_EQ(ERR_REQUEST_FAILED, TarvexGetArriveStatus(handle_, &status));
    EXPECT_EQ(0, status);
    status = 0xEE;
    shortCount(camera_, 6, 0xD2);
    EXPECT_EQ(ERR_REQUEST_FAILED, TarvexGetArriveStatus(handle_, &status));
    EXPECT_EQ(0, status);
    status = 0xEE;
    EXPECT_EQ(ERR_INVALID_HANDLE, TarvexGetArriveStatus(nullptr, &status));
    EXPECT_EQ(0, status);
}

TEST_F(PeripheralTest, ANullStatusIsRefusedWithNothingSent) {
    EXPECT_EQ(ERR_OUT_OF_RANGE, TarvexGetArriveStatus(handle_, nullptr));
    EXPECT_EQ(ERR_OUT_OF_RANGE, TarvexGetArriveStatus(nullptr, nullptr));
    EXPECT_TRUE(traffic(camera_).empty());
}

// A camera without the port refuses both functions, the variant before the
// selector.
TEST_F(PeripheralTest, AVariantOneCameraHasNoPort) {
    int32_t plain = attach("S4");
    CameraHandle handle = open(plain, 2);
    EXPECT_EQ(ERR_NOT_SUPPORTED, TarvexPeriDeviceControl(handle, 9, 1));
    EXPECT_EQ(ERR_NOT_SUPPORTED, TarvexPeriDeviceControl(handle, 4, 1));
    EXPECT_EQ(ERR_NOT_SUPPORTED, TarvexPeriDeviceControl(handle, 0, 1));
    uint8_t status = 0xEE;
    EXPECT_EQ(ERR_NOT_SUPPORTED, TarvexGetArriveStatus(handle, &status));
    EXPECT_EQ(0, status);
    EXPECT_TRUE(traffic(plain).empty());
}

}  // namespace
