#include "sensor/sensor_registers.h"

#include "transport/vendor_request.h"

namespace tarvex {

const uint16_t SensorRegisterMap[MIRRORED_REGISTER_COUNT] = {
    0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x09, 0x0B, 0x0C, 0x0D, 0x1E,
    0x20, 0x2B, 0x2C, 0x2D, 0x2E, 0x35, 0x5F, 0x60, 0x61, 0x62, 0x63, 0x64, 0xF1};

const uint16_t SensorRegisterDefaults[MIRRORED_REGISTER_COUNT] = {
    0x8401, 0x000C, 0x0014, 0x03FF, 0x04FF, 0x0009, 0x0019, 0x0002, 0x0419, 0x0000, 0x0000, 0x0000, 0x8600,
    0x1304, 0x0008, 0x0008, 0x0008, 0x0008, 0x0008, 0x0904, 0x0000, 0x0000, 0x8498, 0x0000, 0x0000, 0x0001};

int findSensorRegister(uint32_t address) {
    uint16_t wanted = static_cast<uint16_t>(address);
    for (int slot = 0; slot < MIRRORED_REGISTER_COUNT; ++slot) {
        if (SensorRegisterMap[slot] == wanted) return slot;
    }
    return ERR_OUT_OF_RANGE;
}

ApiStatus updateRegisterField(uint16_t* shadow, uint32_t address, uint16_t mask, uint32_t& value,
                              unsigned shift) {
    int slot = findSensorRegister(address);
    if (slot < 0) return ERR_OUT_OF_RANGE;
    uint16_t merged = static_cast<uint16_t>(shadow[slot] & ~mask);
    // The shifted value is not limited to the field: wider values spill over.
    merged = static_cast<uint16_t>(merged | ((value << shift) & 0xFFFFu));
    shadow[slot] = merged;
    value = merged;
    return 0;
}

ApiStatus writeRegisterField(HANDLE device, uint16_t* shadow, uint32_t address, uint16_t mask, uint32_t value,
                             unsigned shift) {
    ApiStatus result = updateRegisterField(shadow, address, mask, value, shift);
    if (result != 0) return result;
    uint16_t whole = static_cast<uint16_t>(value);
    return writeSensorRegisters(device, address, &whole, 1);
}

ApiStatus writeSensorRegisters(HANDLE device, uint32_t startAddress, const uint16_t* values, uint32_t count) {
    uint32_t n = count % 65536;
    uint32_t frameLength = 2 * n + 1;
    auto* frame = static_cast<uint8_t*>(HeapAlloc(GetProcessHeap(), 0, frameLength));
    if (frame == nullptr) return ERR_NO_MEMORY;

    // The register address, then each value high byte first.
    frame[0] = static_cast<uint8_t>(startAddress);
    for (uint32_t k = 0; k < n; ++k) {
        frame[1 + 2 * k] = static_cast<uint8_t>(values[k] >> 8);
        frame[2 + 2 * k] = static_cast<uint8_t>(values[k]);
    }
    ApiStatus sent =
        sendVendorRequest(device, HOST_TO_DEVICE, request::I2C_WRITE, frameLength, 0, frame, frameLength);
    HeapFree(GetProcessHeap(), 0, frame);
    if (sent != 0) return sent;
    return waitWhileBusy(device, BUSY_WRITE);
}

ApiStatus readSensorRegisters(HANDLE device, uint32_t startAddress, uint16_t* values, uint32_t count) {
    // The address-only write sets the register the read starts from.
    ApiStatus addressed = writeSensorRegisters(device, startAddress, nullptr, 0);
    if (addressed != 0) return addressed;

    uint32_t n = count % 65536;
    if (readVendorBytes(device, request::I2C_READ, 0, values, 2 * n) != 0) {
        return ERR_REQUEST_FAILED;
    }
    // The bridge sends each value high byte first.
    auto* bytes = reinterpret_cast<uint8_t*>(values);
    for (uint32_t k = 0; k < n; ++k) {
        values[k] = static_cast<uint16_t>((bytes[2 * k] << 8) | bytes[2 * k + 1]);
    }
    return 0;
}

}  // namespace tarvex
