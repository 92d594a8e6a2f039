// The image sensor's registers: the 26 the library mirrors, their values at
// open, bit-field updates of a camera's shadow copy, and register writes and
// reads over the controller's I2C bridge.
#pragma once

#include <cstdint>

#include "platform/win32.h"
#include "tarvex.h"

namespace tarvex {

inline constexpr int MIRRORED_REGISTER_COUNT = 26;

extern const uint16_t SensorRegisterMap[MIRRORED_REGISTER_COUNT];
extern const uint16_t SensorRegisterDefaults[MIRRORED_REGISTER_COUNT];

// The slot of `address` (its low 16 bits) in the map, or ERR_OUT_OF_RANGE.
int findSensorRegister(uint32_t address);

// Clears `mask` in the shadow copy of `address`, merges value << shift (kept
// to 16 bits, not limited to the mask) and hands the whole new register value
// back in `value`. ERR_OUT_OF_RANGE, with nothing changed, for an address the
// map does not hold.
ApiStatus updateRegisterField(uint16_t* shadow, uint32_t address, uint16_t mask, uint32_t& value,
                              unsigned shift);

// updateRegisterField, then the whole new register value written to the
// sensor. Returns the write's result. The shadow keeps the new value even
// when the write fails.
ApiStatus writeRegisterField(HANDLE device, uint16_t* shadow, uint32_t address, uint16_t mask, uint32_t value,
                             unsigned shift);

// Writes count (mod 65536) values to consecutive registers from
// startAddress in one I2C frame, then waits for the controller.
ApiStatus writeSensorRegisters(HANDLE device, uint32_t startAddress, const uint16_t* values, uint32_t count);

// Reads count (mod 65536) consecutive registers from startAddress into
// values, in host order.
ApiStatus readSensorRegisters(HANDLE device, uint32_t startAddress, uint16_t* values, uint32_t count);

}  // namespace tarvex
