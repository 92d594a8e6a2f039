// Vendor requests to the camera's controller, through the kernel driver.
#pragma once

#include <cstdint>

#include "platform/win32.h"
#include "tarvex.h"

namespace tarvex {

// The request codes the library sends.
namespace request {
inline constexpr uint8_t FIRMWARE_LOAD = 0xA0;  // firmware chunk; also the CPU byte of code 12
inline constexpr uint8_t EEPROM_LOAD = 0xA2;    // the whole EEPROM image
inline constexpr uint8_t I2C_WRITE = 0xB0;      // sensor register write frame
inline constexpr uint8_t I2C_READ = 0xB1;       // sensor register values
inline constexpr uint8_t STATUS = 0xB4;         // the status byte
inline constexpr uint8_t ADC_MODE = 0xB5;
inline constexpr uint8_t SNAP_SPEED = 0xB6;
inline constexpr uint8_t SNAP_MODE = 0xB7;
inline constexpr uint8_t TRIGGER_POLARITY = 0xB8;
inline constexpr uint8_t STROBE_POLARITY = 0xB9;
inline constexpr uint8_t MEMORY_WRITE = 0xBA;  // device memory
inline constexpr uint8_t MEMORY_READ = 0xBB;
inline constexpr uint8_t ACQUISITION = 0xBC;         // 1 on, 0 off
inline constexpr uint8_t BLOCK_WRITE = 0xBD;         // TarvexCommand 0
inline constexpr uint8_t CONTROLLER_READ = 0xBE;     // TarvexDeviceControl 1 and 2
inline constexpr uint8_t BLOCK_WRITE_ALT = 0xBF;     // TarvexCommand 1
inline constexpr uint8_t CONTROLLER_COMMAND = 0xC0;  // TarvexDeviceControl 4
inline constexpr uint8_t CONTROLLER_BYTE = 0xC1;     // TarvexDeviceControl 3
inline constexpr uint8_t BLOCK_READ = 0xC3;          // TarvexCommand 2
inline constexpr uint8_t COMMAND_BYTE = 0xC4;        // TarvexCommand 3
inline constexpr uint8_t FRAME_RESET = 0xD0;         // start and stop sequences, snapshot modes
inline constexpr uint8_t PERIPHERAL_OUTPUTS = 0xD1;
inline constexpr uint8_t PERIPHERAL_INPUTS = 0xD2;
inline constexpr uint8_t PERIPHERAL_ACTION = 0xD3;
inline constexpr uint8_t FIRMWARE_WORD = 0xDF;  // TarvexCommand 48
}  // namespace request

inline constexpr uint8_t DEVICE_TO_HOST = 1;
inline constexpr uint8_t HOST_TO_DEVICE = 0;

// Busy bits of the camera's status byte.
inline constexpr uint8_t BUSY_WRITE = 0x01;        // after 0xB0, 0xBA, 0xBD
inline constexpr uint8_t BUSY_BLOCK_WRITE = 0x02;  // after 0xBF

// The 10-byte block of device-control codes 6 and 9, little-endian.
struct VendorRequest {
    uint8_t bytes[10];
};
VendorRequest makeVendorRequest(uint8_t direction, uint8_t request, uint32_t value, uint32_t index);

// The 10-byte block of device-control code 12: the controller's CPU byte.
struct FirmwareByteRequest {
    uint8_t bytes[10];
};
FirmwareByteRequest makeFirmwareByteRequest(uint8_t byte);

ApiStatus sendVendorRequest(HANDLE device, uint8_t direction, uint8_t request, uint32_t value, uint32_t index,
                            void* buffer, uint32_t length);
ApiStatus writeVendorByte(HANDLE device, uint8_t request, uint8_t byte);
ApiStatus readVendorBytes(HANDLE device, uint8_t request, uint32_t index, void* buffer, uint32_t length);
ApiStatus writeVendorBytes(HANDLE device, uint8_t request, uint32_t index, const void* data, uint32_t length,
                           uint8_t busyMask);
ApiStatus readDeviceStatus(HANDLE device, uint8_t* status);
ApiStatus waitWhileBusy(HANDLE device, uint8_t busyMask);
ApiStatus downloadFirmware(HANDLE device, const uint8_t* image, uint32_t length);
ApiStatus writeFirmwareByte(HANDLE device, uint8_t byte);
ApiStatus writeEepromImage(HANDLE device, const uint8_t* image, uint32_t length);

}  // namespace tarvex
