#include "transport/vendor_request.h"

#include "transport/driver_call.h"
#include "transport/driver_codes.h"

namespace tarvex {

namespace {

void putLittleEndian16(uint8_t* at, uint32_t value) {
    at[0] = static_cast<uint8_t>(value & 0xFF);
    at[1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

constexpr uint8_t VENDOR_REQUEST_TYPE = 2;
constexpr uint8_t RECIPIENT_DEVICE = 0;
constexpr uint16_t CPU_CONTROL_ADDRESS = 0xE600;
constexpr uint32_t FIRMWARE_CHUNK = 64;
constexpr uint16_t EEPROM_INDEX = 0xBEEF;
constexpr DWORD BUSY_TIMEOUT_MS = 1000;

}  // namespace

VendorRequest makeVendorRequest(uint8_t direction, uint8_t request, uint32_t value, uint32_t index) {
    VendorRequest block{};
    block.bytes[0] = direction;
    block.bytes[1] = VENDOR_REQUEST_TYPE;
    block.bytes[2] = RECIPIENT_DEVICE;
    block.bytes[3] = 0;
    block.bytes[4] = request;
    // Byte 5 carries nothing; it stays 0.
    putLittleEndian16(&block.bytes[6], value);
    putLittleEndian16(&block.bytes[8], index);
    return block;
}

FirmwareByteRequest makeFirmwareByteRequest(uint8_t byte) {
    FirmwareByteRequest block{};
    block.bytes[0] = request::FIRMWARE_LOAD;
    // Byte 1 carries nothing; it stays 0.
    putLittleEndian16(&block.bytes[2], CPU_CONTROL_ADDRESS);
    putLittleEndian16(&block.bytes[4], 0);
    putLittleEndian16(&block.bytes[6], 1);
    block.bytes[8] = HOST_TO_DEVICE;
    block.bytes[9] = byte;
    return block;
}

ApiStatus sendVendorRequest(HANDLE device, uint8_t direction, uint8_t request, uint32_t value, uint32_t index,
                            void* buffer, uint32_t length) {
    VendorRequest block = makeVendorRequest(direction, request, value, index);
    DWORD code = direction == DEVICE_TO_HOST ? driver::VENDOR_REQUEST_IN : driver::VENDOR_REQUEST_OUT;
    // In both directions the data stage is the call's output buffer.
    return callDriverExact(device, code, block.bytes, sizeof block.bytes, buffer, length)
               ? 0
               : ERR_REQUEST_FAILED;
}

ApiStatus writeVendorByte(HANDLE device, uint8_t request, uint8_t byte) {
    return sendVendorRequest(device, HOST_TO_DEVICE, request, byte, 0, &byte, 1);
}

ApiStatus readVendorBytes(HANDLE device, uint8_t request, uint32_t index, void* buffer, uint32_t length) {
    return sendVendorRequest(device, DEVICE_TO_HOST, request, length, index, buffer, length);
}

ApiStatus writeVendorBytes(HANDLE device, uint8_t request, uint32_t index, const void* data, uint32_t length,
                           uint8_t busyMask) {
    // The driver only reads a host-to-device data stage.
    ApiStatus result =
        sendVendorRequest(device, HOST_TO_DEVICE, request, length, index, const_cast<void*>(data), length);
    if (result != 0 || busyMask == 0) return result;
    return waitWhileBusy(device, busyMask);
}

ApiStatus readDeviceStatus(HANDLE device, uint8_t* status) {
    return readVendorBytes(device, request::STATUS, 0, status, 1);
}

ApiStatus waitWhileBusy(HANDLE device, uint8_t busyMask) {
    DWORD start = GetTickCount();
    // Until a status read succeeds the camera is not known to be idle: it
    // counts as busy, so a camera that cannot report runs into the time-out.
    uint8_t status = 0xFF;
    for (;;) {
        uint8_t read = status;
        if (readDeviceStatus(device, &read) == 0) status = read;
        if ((status & busyMask) == 0) return 0;
        // Unsigned difference: a wrap of the tick counter does no harm.
        if (GetTickCount() - start >= BUSY_TIMEOUT_MS) return ERR_BUSY_TIMEOUT;
    }
}

ApiStatus downloadFirmware(HANDLE device, const uint8_t* image, uint32_t length) {
    uint32_t chunks = length / FIRMWARE_CHUNK + (length % FIRMWARE_CHUNK != 0 ? 1 : 0);
    for (uint32_t i = 0; i < chunks; ++i) {
        uint32_t offset = i * FIRMWARE_CHUNK;
        uint32_t chunkLength = length - offset < FIRMWARE_CHUNK ? length - offset : FIRMWARE_CHUNK;
        // The value is the chunk's load address: the image lands at 0 upward.
        if (sendVendorRequest(device, HOST_TO_DEVICE, request::FIRMWARE_LOAD, offset, 0,
                              const_cast<uint8_t*>(image + offset), chunkLength) != 0) {
            return ERR_REQUEST_FAILED;
        }
    }
    return 0;
}

ApiStatus writeFirmwareByte(HANDLE device, uint8_t byte) {
    FirmwareByteRequest block = makeFirmwareByteRequest(byte);
    DWORD bytes = 0;
    return callDriver(device, driver::FIRMWARE_BYTE, block.bytes, sizeof block.bytes, nullptr, 0, &bytes)
               ? 0
               : ERR_REQUEST_FAILED;
}

ApiStatus writeEepromImage(HANDLE device, const uint8_t* image, uint32_t length) {
    return sendVendorRequest(device, HOST_TO_DEVICE, request::EEPROM_LOAD, 0, EEPROM_INDEX,
                             const_cast<uint8_t*>(image), length);
}

}  // namespace tarvex
