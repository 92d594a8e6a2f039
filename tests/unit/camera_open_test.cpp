// The camera record right after open, and opens that run out of memory.
#include <gtest/gtest.h>

#include <cstring>

#include "camera/camera_state.h"
#include "support/sim_fixture.h"
#include "tarvex_device.h"

namespace tarvex {
namespace {

using tarvex_test::SimCameraTest;

class CameraOpenTest : public SimCameraTest {
protected:
    void TearDown() override {
        tarvex_system_fail_allocation(TARVEX_ALLOC_GLOBAL, 0, 0);
        tarvex_system_fail_allocation(TARVEX_ALLOC_LOCK, 0, 0);
        tarvex_system_fail_allocation(TARVEX_ALLOC_HEAP, 0, 0);
        SimCameraTest::TearDown();
    }
};

TEST_F(CameraOpenTest, RecordHoldsTheValuesAtOpen) {
    attach("UA:release=0x0123");
    CameraHandle handle = open(1);
    auto* camera = static_cast<CameraState*>(GlobalLock(handle));
    ASSERT_NE(nullptr, camera);
    EXPECT_EQ(VARIANT_2, camera->variant);
    EXPECT_EQ(0, camera->snapping);
    EXPECT_EQ(0, camera->resolution);
    EXPECT_EQ(1, camera->scaleFactor[0]);
    EXPECT_EQ(2, camera->scaleFactor[1]);
    EXPECT_EQ(4, camera->scaleFactor[2]);
    EXPECT_EQ(0, camera->snapMode);
    EXPECT_EQ(1, camera->triggerPolarity);
    EXPECT_EQ(1, camera->strobePolarity);
    EXPECT_EQ(1, camera->snapSpeed);
    EXPECT_EQ(1280, camera->windowWidth);
    EXPECT_EQ(1024, camera->windowHeight);
    EXPECT_EQ(0, camera->frameBytes);
    EXPECT_EQ(0, camera->lastTransferStatus);
    EXPECT_EQ(2, camera->adcMode);
    EXPECT_EQ(0x3C, camera->peripheralOutputs);
    EXPECT_EQ(0, std::memcmp(SensorRegisterDefaults, camera->sensorShadow, sizeof camera->sensorShadow));
    EXPECT_EQ(0x23, camera->deviceDescriptor[12]);
    EXPECT_EQ(0x01, camera->deviceDescriptor[13]);
    GlobalUnlock(handle);
}

TEST_F(CameraOpenTest, RecordThatCannotBeAllocatedOrLockedFailsTheOpenCleanly) {
    int32_t camera = attach("UA");
    for (int kind : {TARVEX_ALLOC_GLOBAL, TARVEX_ALLOC_LOCK}) {
        uint32_t blocksBefore = tarvex_system_live_blocks(TARVEX_ALLOC_GLOBAL);
        tarvex_system_fail_allocation(kind, 1, 1);
        CameraHandle handle = reinterpret_cast<CameraHandle>(0x1234);
        EXPECT_EQ(ERR_NO_MEMORY, BeginTarvex(1, &handle)) << kind;
        EXPECT_EQ(nullptr, handle);
        EXPECT_EQ(0, property(camera, TARVEX_SIM_PROP_OPEN_HANDLES)) << kind;
        EXPECT_EQ(blocksBefore, tarvex_system_live_blocks(TARVEX_ALLOC_GLOBAL)) << kind;
    }
}

TEST_F(CameraOpenTest, FrameThatCannotBeAllocatedIsIgnoredAtOpen) {
    int32_t camera = attach("UA");
    // The first heap block of an open is the interface detail record, the
    // second the register frame.
    tarvex_system_fail_allocation(TARVEX_ALLOC_HEAP, 2, 1);
    CameraHandle handle = nullptr;
    ASSERT_EQ(0, BeginTarvex(1, &handle));
    // The register write of the open sequence found no memory and sent nothing.
    for (const std::string& line : traffic(camera)) EXPECT_EQ(std::string::npos, line.find("to B0"));
    EndTarvex(handle);
}

TEST_F(CameraOpenTest, ManyOpensAndClosesLeaveNothingBehind) {
    int32_t camera = attach("UA");
    tarvex_sim_log_pause(camera, 1);
    uint32_t blocks = tarvex_system_live_blocks(TARVEX_ALLOC_GLOBAL);
    uint32_t heap = tarvex_system_live_blocks(TARVEX_ALLOC_HEAP);
    for (int i = 0; i < 10000; ++i) {
        CameraHandle handle = nullptr;
        ASSERT_EQ(0, BeginTarvex(1, &handle));
        ASSERT_EQ(0, EndTarvex(handle));
    }
    EXPECT_EQ(blocks, tarvex_system_live_blocks(TARVEX_ALLOC_GLOBAL));
    EXPECT_EQ(heap, tarvex_system_live_blocks(TARVEX_ALLOC_HEAP));
    EXPECT_EQ(0, property(camera, TARVEX_SIM_PROP_OPEN_HANDLES));
    EXPECT_EQ(0u, tarvex_device_open_handles());
}

}  // namespace
}  // namespace tarvex
