// The controller firmware's answers to the vendor requests (device-control
// codes 6 and 9). Requests the firmware does not know stall: error 31.
#include <cstring>

#include "sim_camera.h"
#include "system_errors.h"

namespace tarvex::sim {

namespace {

namespace request {
inline constexpr uint8_t FIRMWARE_LOAD = 0xA0;
inline constexpr uint8_t EEPROM_LOAD = 0xA2;
inline constexpr uint8_t I2C_WRITE = 0xB0;
inline constexpr uint8_t I2C_READ = 0xB1;
inline constexpr uint8_t STATUS = 0xB4;
inline constexpr uint8_t ADC_MODE = 0xB5;
inline constexpr uint8_t STROBE_POLARITY = 0xB9;
inline constexpr uint8_t MEMORY_WRITE = 0xBA;
inline constexpr uint8_t MEMORY_READ = 0xBB;
inline constexpr uint8_t ACQUISITION = 0xBC;
inline constexpr uint8_t BLOCK_WRITE = 0xBD;
inline constexpr uint8_t CONTROLLER_READ = 0xBE;
inline constexpr uint8_t BLOCK_WRITE_ALT = 0xBF;
inline constexpr uint8_t CONTROLLER_COMMAND = 0xC0;
inline constexpr uint8_t CONTROLLER_BYTE = 0xC1;
inline constexpr uint8_t BLOCK_READ = 0xC3;
inline constexpr uint8_t COMMAND_BYTE = 0xC4;
inline constexpr uint8_t FRAME_RESET = 0xD0;
inline constexpr uint8_t PERIPHERAL_OUTPUTS = 0xD1;
inline constexpr uint8_t PERIPHERAL_INPUTS = 0xD2;
inline constexpr uint8_t PERIPHERAL_ACTION = 0xD3;
inline constexpr uint8_t FIRMWARE_WORD = 0xDF;
}  // namespace request

// What the firmware answers to 0xBE index 0 and 0xC1: its revision byte.
constexpr uint8_t FIRMWARE_REVISION = 0x12;

void answerBytes(DeviceCall& call, const uint8_t* bytes, uint32_t length) {
    uint32_t answered = call.outSize < length ? call.outSize : length;
    if (answered != 0) std::memcpy(call.out, bytes, answered);
    call.bytesReturned = answered;
}

}  // namespace

void SimCamera::vendorIn(DeviceCall& call, uint8_t code, uint16_t, uint16_t index) {
    uint8_t byte;
    switch (code) {
        case request::I2C_READ:
            sensor_.readInto(call.out, call.outSize);
            call.bytesReturned = call.outSize;
            ++sensorReads_;
            return;
        case request::STATUS:
            if (call.outSize == 0) return;  // nothing read, nothing counted
            byte = status_.read();
            answerBytes(call, &byte, 1);
            return;
        case request::MEMORY_READ:
            deviceMemory_.read(index, call.out, call.outSize);
            call.bytesReturned = call.outSize;
            return;
        case request::CONTROLLER_READ:
            if (index == 0) {
                byte = FIRMWARE_REVISION;
                answerBytes(call, &byte, 1);
            } else if (index == 1) {
                // The controller's memory from address 0: what was loaded there.
                uint32_t length = call.outSize;
                for (uint32_t i = 0; i < length; ++i) {
                    call.out[i] = controller_.bytes()[static_cast<uint16_t>(i)];
                }
                call.bytesReturned = length;
            } else {
                call.error = ERROR_GEN_FAILURE;
            }
            return;
        case request::CONTROLLER_BYTE:
            byte = FIRMWARE_REVISION;
            answerBytes(call, &byte, 1);
            return;
        case request::BLOCK_READ:
            blocks_.readBack(call.out, call.outSize);
            call.bytesReturned = call.outSize;
            return;
        case request::PERIPHERAL_INPUTS:
            if (!hasPeripheralPort()) break;
            byte = port_.inputs();
            answerBytes(call, &byte, 1);
            return;
        case request::FIRMWARE_WORD: {
            // The firmware's version word: the device release, low byte first.
            const uint8_t* release = identity_.deviceDescriptor() + 12;
            answerBytes(call, release, 2);
            return;
        }
        default:
            break;
    }
    call.error = ERROR_GEN_FAILURE;
}

void SimCamera::vendorOut(DeviceCall& call, uint8_t code, uint16_t value, uint16_t index, uint64_t nowUs) {
    // One-byte requests carry their byte both in the value and in the data stage.
    uint8_t byte = call.outSize != 0 ? call.out[0] : static_cast<uint8_t>(value);
    switch (code) {
        case request::FIRMWARE_LOAD:
            controller_.load(value, call.out, call.outSize);
            break;
        case request::EEPROM_LOAD:
            if (index != Eeprom::WRITE_KEY) {
                call.error = ERROR_GEN_FAILURE;
                return;
            }
            eeprom_.store(call.out, call.outSize);
            break;
        case request::I2C_WRITE: {
            SensorRegisterFile::FrameEffect effect = sensor_.writeFrame(call.out, call.outSize);
            if (!sensor_.snapshotMode()) {
                snapshot_.clear();
            } else if (effect.triggered) {
                snapshot_.fire(nowUs);
            }
            status_.setBusy(StatusByte::BIT_WRITE);
            break;
        }
        case request::MEMORY_WRITE:
            deviceMemory_.write(index, call.out, call.outSize);
            status_.setBusy(StatusByte::BIT_WRITE);
            break;
        case request::ACQUISITION:
            stream_.setAcquisition(byte != 0, nowUs);
            if (byte == 0) snapshot_.clear();
            break;
        case request::BLOCK_WRITE:
            blocks_.store(call.out, call.outSize);
            status_.setBusy(StatusByte::BIT_WRITE);
            break;
        case request::BLOCK_WRITE_ALT:
            blocks_.store(call.out, call.outSize);
            status_.setBusy(StatusByte::BIT_BLOCK_WRITE);
            break;
        case request::COMMAND_BYTE:
            settings_[code - request::ADC_MODE] = byte;
            break;
        case request::CONTROLLER_COMMAND:
        case request::FRAME_RESET:
            break;
        case request::PERIPHERAL_OUTPUTS:
            if (!hasPeripheralPort()) {
                call.error = ERROR_GEN_FAILURE;
                return;
            }
            port_.writeOutputs(byte);
            break;
        case request::PERIPHERAL_ACTION:
            if (!hasPeripheralPort()) {
                call.error = ERROR_GEN_FAILURE;
                return;
            }
            port_.act();
            break;
        default:
            if (code >= request::ADC_MODE && code <= request::STROBE_POLARITY) {
                settings_[code - request::ADC_MODE] = byte;
                break;
            }
            call.error = ERROR_GEN_FAILURE;
            return;
    }
    call.bytesReturned = call.outSize;
}

}  // namespace tarvex::sim
