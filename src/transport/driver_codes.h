// The device-control codes that the camera's kernel driver understands.
#pragma once

#include "platform/win32.h"

namespace tarvex::driver {

inline constexpr DWORD OPEN_SETUP = 0x220000;       // none -> status; at open, result ignored
inline constexpr DWORD VENDOR_REQUEST_IN = 6;       // VendorRequest -> data from the camera
inline constexpr DWORD VENDOR_REQUEST_OUT = 9;      // VendorRequest, data for the camera in the output buffer
inline constexpr DWORD FIRMWARE_BYTE = 12;          // FirmwareByteRequest -> none
inline constexpr DWORD STREAM_RESET = 20;           // 32-bit 0 or 1 -> status
inline constexpr DWORD GET_DEVICE_DESCRIPTOR = 68;  // -> the 18-byte USB device descriptor
inline constexpr DWORD GET_STRING_DESCRIPTOR = 80;  // index, reserved, language -> string descriptor
inline constexpr DWORD STREAM_ABORT = 320;          // 32-bit 1 -> status; stop sequence
inline constexpr DWORD BULK_READ = 326;             // 32-bit pipe -> data read from the pipe
inline constexpr DWORD BULK_WRITE = 329;            // 32-bit pipe 1, data to write in the output buffer
inline constexpr DWORD STREAM_START = 340;          // 32-bit frame size -> status
inline constexpr DWORD STREAM_STOP = 344;           // none -> status
inline constexpr DWORD READ_FRAME = 350;            // none -> one frame into the caller's buffer
inline constexpr DWORD GET_SLOT_INFO = 448;         // none -> 12-byte slot record
inline constexpr DWORD GET_LAST_ERROR = 452;        // none -> 32-bit driver error word
inline constexpr DWORD GET_TRANSFER_STATUS = 456;   // none -> 32-bit stream status word

// USB language identifier the library asks string descriptors in.
inline constexpr WORD STRING_LANGUAGE = 27;

// Transfer status words on which the stop sequence resets the stream.
inline constexpr DWORD STATUS_TRANSACTION_ERROR = 0xC0000011u;
inline constexpr DWORD STATUS_BABBLE_DETECTED = 0xC0000012u;

}  // namespace tarvex::driver
