// A simulated camera reached the way the library reaches it: a driver handle
// opened on its numbered device name, for tests of the internal operations
// that take that handle.
#pragma once

#include "platform/win32.h"
#include "support/sim_fixture.h"

namespace tarvex_test {

class RawDeviceTest : public SimCameraTest {
protected:
    void SetUp() override {
        SimCameraTest::SetUp();
        camera_ = attach("UA");
        device_ = CreateFileA("\\\\.\\KQ-TarvexNT1", GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OVERLAPPED, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, device_);
        clearLog(camera_);
    }
    void TearDown() override {
        CloseHandle(device_);
        SimCameraTest::TearDown();
    }

    int32_t camera_ = 0;
    HANDLE device_ = INVALID_HANDLE_VALUE;
};

}  // namespace tarvex_test
