// The record kept for each open camera, inside the movable memory block that
// its CameraHandle designates.
#pragma once

#include <atomic>
#include <cstdint>
#include <type_traits>

#include "platform/win32.h"
#include "sensor/sensor_registers.h"

namespace tarvex {

inline constexpr int32_t VARIANT_1 = 1;  // identification "S4"
inline constexpr int32_t VARIANT_2 = 2;  // identification "UA": with the peripheral port

struct CameraState {
    HANDLE device;
    int32_t variant;
    uint8_t deviceDescriptor[18];
    CRITICAL_SECTION startLock;
    CRITICAL_SECTION stopLock;
    // Written by streaming calls that may run on several threads at once.
    std::atomic<int32_t> snapping;
    uint8_t resolution;
    int32_t scaleFactor[3];
    uint8_t snapMode;
    uint8_t triggerPolarity;
    uint8_t strobePolarity;
    uint8_t snapSpeed;
    int32_t windowWidth;
    int32_t windowHeight;
    std::atomic<int32_t> frameBytes;
    std::atomic<int32_t> lastTransferStatus;
    int32_t adcMode;
    uint8_t peripheralOutputs;
    uint16_t sensorShadow[MIRRORED_REGISTER_COUNT];
};

// The record lives in zero-initialised system memory and is never destroyed
// by a destructor: it must need none.
static_assert(std::is_trivially_destructible_v<CameraState>);
static_assert(sizeof(std::atomic<int32_t>) == sizeof(int32_t));

}  // namespace tarvex
