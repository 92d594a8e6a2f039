// Opening and closing cameras: the open sequence on the wire, refused
// identifications, failures that must not stop an open, and closing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/sim_fixture.h"

namespace {

using tarvex_test::SimCameraTest;
using Lines = std::vector<std::string>;

const Lines OPEN_START = {
    "open \\0", "code 0x220000", "code 20 (0)", "code 20 (1)", "code 80 [01 00 1B 00] n=6",
};

const Lines OPEN_AFTER_IDENTIFICATION = {
    "to B0 v=3 i=0 [1E 86 00]",
    "from B4 v=1 i=0 n=1",
    "from B4 v=1 i=0 n=1",
    "code 68 [00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00] n=18",
    // The stop sequence, so that a camera left streaming comes to rest.
    "to BC v=0 i=0 [00]",
    "code 320 (1)",
    "code 456",
    "code 344",
    "to D0 v=0 i=0 [00]",
    // The initial settings.
    "to B5 v=2 i=0 [02]",
    "to B7 v=0 i=0 [00]",
    "to B8 v=1 i=0 [01]",
    "to B9 v=1 i=0 [01]",
    "to B6 v=1 i=0 [01]",
};

Lines concat(std::initializer_list<Lines> parts) {
    Lines all;
    for (const Lines& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

class OpenTest : public SimCameraTest {
protected:
    ApiStatus begin(int32_t index, CameraHandle* handle) {
        ApiStatus result = BeginTarvex(index, handle);
        if (result == 0) opened_.push_back(*handle);
        return result;
    }
    void TearDown() override {
        for (CameraHandle handle : opened_) EndTarvex(handle);
        SimCameraTest::TearDown();
    }
    std::vector<CameraHandle> opened_;
};

TEST_F(OpenTest, VariantTwoOpenSequence) {
    int32_t camera = attach("UA");
    CameraHandle handle = nullptr;
    ASSERT_EQ(0, begin(1, &handle));
    EXPECT_NE(nullptr, handle);
    EXPECT_EQ(traffic(camera),
              concat({OPEN_START, OPEN_AFTER_IDENTIFICATION, {"to D1 v=60 i=0 [3C]", "to D3 v=0 i=0 [00]"}}));
    EXPECT_EQ(0x8600, sensorRegister(camera, 0x1E));
}

TEST_F(OpenTest, VariantOneOpenSequenceHasNoPortRequests) {
    int32_t camera = attach("S4");
    CameraHandle handle = nullptr;
    ASSERT_EQ(0, begin(1, &handle));
    EXPECT_EQ(traffic(camera), concat({OPEN_START, OPEN_AFTER_IDENTIFICATION}));
}

TEST_F(OpenTest, OnlyTheLowBytesOfTheFirstTwoCharactersIdentify) {
    int32_t camera = attach("UA");
    // U+0155 and U+0141: low bytes 'U' and 'A'.
    const uint16_t descriptor[2] = {0x0155, 0x0141};
    tarvex_sim_write_memory(camera, TARVEX_SIM_MEM_STRING1, 0, descriptor, sizeof descriptor);
    CameraHandle handle = nullptr;
    EXPECT_EQ(0, begin(1, &handle));
}

class RefusedIdentification : public OpenTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(RefusedIdentification, IsUnrecognisedAndClosesTheDriverHandle) {
    int32_t camera = attach(GetParam());
    CameraHandle handle = reinterpret_cast<CameraHandle>(0x1234);
    EXPECT_EQ(ERR_UNRECOGNISED_DEVICE, begin(1, &handle));
    EXPECT_EQ(nullptr, handle);
    Lines expected = OPEN_START;
    expected.push_back("close");
    EXPECT_EQ(traffic(camera), expected);
    EXPECT_EQ(0, property(camera, TARVEX_SIM_PROP_OPEN_HANDLES));
}

INSTANTIATE_TEST_SUITE_P(Identifications, RefusedIdentification, ::testing::Values("SA", "U4", "ua", "U"));

TEST_F(OpenTest, IndexOutsideTheCountOpensNothing) {
    int32_t camera = attach("UA");
    clearLog(camera);
    for (int32_t index : {0, -1, 2, INT32_MIN}) {
        CameraHandle handle = reinterpret_cast<CameraHandle>(0x1234);
        EXPECT_EQ(ERR_NO_DEVICE, begin(index, &handle)) << index;
        EXPECT_EQ(nullptr, handle);
    }
    EXPECT_TRUE(traffic(camera).empty());
}

TEST_F(OpenTest, NullHandlePointerIsRefusedBeforeAnythingIsSent) {
    int32_t camera = attach("UA");
    clearLog(camera);
    EXPECT_EQ(ERR_OUT_OF_RANGE, BeginTarvex(1, nullptr));
    EXPECT_TRUE(traffic(camera).empty());
}

TEST_F(OpenTest, UnreadableIdentificationIsUnrecognised) {
    int32_t camera = attach("UA");
    fail(camera, 80);
    CameraHandle handle = nullptr;
    EXPECT_EQ(ERR_UNRECOGNISED_DEVICE, begin(1, &handle));
    EXPECT_EQ(0, property(camera, TARVEX_SIM_PROP_OPEN_HANDLES));
}

// Each step after the camera was identified may fail: the open succeeds.
class StepFailingAtOpen : public OpenTest,
                          public ::testing::WithParamInterface<std::pair<int32_t, int32_t>> {};

TEST_P(StepFailingAtOpen, StillOpens) {
    int32_t camera = attach("UA");
    fail(camera, GetParam().first, GetParam().second);
    CameraHandle handle = nullptr;
    EXPECT_EQ(0, begin(1, &handle));
    EXPECT_NE(nullptr, handle);
    // Every later step was still sent.
    Lines lines = traffic(camera);
    EXPECT_EQ("to D3 v=0 i=0 [00]", lines.back().substr(0, 18));
}

INSTANTIATE_TEST_SUITE_P(Steps, StepFailingAtOpen,
                         ::testing::Values(std::pair{0x220000, TARVEX_SIM_ANY}, std::pair{20, TARVEX_SIM_ANY},
                                           std::pair{9, 0xB0}, std::pair{6, 0xB4},
                                           std::pair{68, TARVEX_SIM_ANY}, std::pair{9, 0xBC},
                                           std::pair{320, TARVEX_SIM_ANY}, std::pair{456, TARVEX_SIM_ANY},
                                           std::pair{344, TARVEX_SIM_ANY}, std::pair{9, 0xD0},
                                           std::pair{9, 0xB5}, std::pair{9, 0xB7}, std::pair{9, 0xB8},
                                           std::pair{9, 0xB9}, std::pair{9, 0xB6}, std::pair{9, 0xD1},
                                           std::pair{9, 0xD3}));

TEST_F(OpenTest, CameraFailingEveryRequestStillOpensWithAZeroDescriptor) {
    int32_t camera = attach("UA:release=0x0234");
    fail(camera, 9, TARVEX_SIM_ANY, 1, 0);
    fail(camera, 6, TARVEX_SIM_ANY, 1, 0);
    fail(camera, 68);
    CameraHandle handle = nullptr;
    ASSERT_EQ(0, begin(1, &handle));
    uint16_t release = 0xFFFF;
    int32_t size = sizeof release;
    EXPECT_EQ(0, TarvexGetDeviceInfo(handle, TARVEX_INFO_RELEASE, &release, &size));
    EXPECT_EQ(0, release);
}

TEST_F(OpenTest, CloseOfARestingCameraSendsNothingButTheClose) {
    int32_t camera = attach("UA");
    CameraHandle handle = open(camera);
    EXPECT_EQ(0, close(handle));
    EXPECT_EQ(traffic(camera), (Lines{"close"}));
}

TEST_F(OpenTest, CloseOfAStreamingCameraStopsItFirst) {
    int32_t camera = attach("UA");
    CameraHandle handle = open(camera);
    ASSERT_EQ(0, TarvexStartSnap(handle));
    clearLog(camera);
    EXPECT_EQ(0, close(handle));
    EXPECT_EQ(traffic(camera), (Lines{"to BC v=0 i=0 [00]", "code 320 (1)", "code 456", "code 344",
                                      "to D0 v=0 i=0 [00]", "close"}));
}

TEST_F(OpenTest, ClosedOrForeignHandlesAreRefused) {
    int32_t camera = attach("UA");
    CameraHandle handle = open(camera);
    ASSERT_EQ(0, close(handle));
    uint8_t buffer[64] = {};
    for (CameraHandle bad : {handle, static_cast<CameraHandle>(nullptr), static_cast<CameraHandle>(buffer),
                             reinterpret_cast<CameraHandle>(0x12345678)}) {
        EXPECT_EQ(ERR_INVALID_HANDLE, EndTarvex(bad));
        EXPECT_EQ(ERR_INVALID_HANDLE, TarvexStartSnap(bad));
    }
    EXPECT_EQ(traffic(camera), (Lines{"close"}));
}

TEST_F(OpenTest, SameIndexOpenedTwiceGivesTwoIndependentHandles) {
    int32_t camera = attach("UA");
    CameraHandle first = open(camera);
    CameraHandle second = open(camera);
    EXPECT_NE(first, second);
    EXPECT_EQ(2, property(camera, TARVEX_SIM_PROP_OPEN_HANDLES));
}

}  // namespace
