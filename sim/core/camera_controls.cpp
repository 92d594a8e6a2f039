// The control interface's access to a camera's state: properties and memories.
#include <cstring>

#include "sim_camera.h"
#include "tarvex_sim.h"

namespace tarvex::sim {

namespace {

constexpr uint32_t SENSOR_BYTES = SensorRegisterFile::COUNT * 2;

// A 32-bit word given either signed or as its unsigned bit pattern (0xC0000011).
bool toWord(int64_t value, int32_t* word) {
    if (value < INT32_MIN || value > static_cast<int64_t>(UINT32_MAX)) return false;
    *word = static_cast<int32_t>(static_cast<uint32_t>(value));
    return true;
}

uint32_t moved(uint32_t size, uint32_t offset, uint32_t length) {
    if (offset >= size) return 0;
    return size - offset < length ? size - offset : length;
}

// Reads or writes a plain byte array.
int32_t access(uint8_t* bytes, uint32_t size, uint32_t offset, uint8_t* out, const uint8_t* in,
               uint32_t length) {
    uint32_t count = moved(size, offset, length);
    if (count == 0) return 0;
    if (out != nullptr) std::memcpy(out, bytes + offset, count);
    if (in != nullptr) std::memcpy(bytes + offset, in, count);
    return static_cast<int32_t>(count);
}

int32_t accessUnits(std::vector<uint16_t>& units, uint32_t offset, uint8_t* out, const uint8_t* in,
                    uint32_t length) {
    if (out != nullptr) {
        uint32_t count = moved(static_cast<uint32_t>(units.size()) * 2, offset, length);
        for (uint32_t i = 0; i < count; ++i) {
            uint16_t unit = units[(offset + i) / 2];
            out[i] = static_cast<uint8_t>((offset + i) % 2 == 0 ? unit : unit >> 8);
        }
        return static_cast<int32_t>(count);
    }
    // Writing replaces the string: it ends where the written bytes end.
    uint64_t end = static_cast<uint64_t>(offset) + length;
    if (end % 2 != 0 || end > 2 * MAX_STRING_UNITS) return TARVEX_SIM_EINVAL;
    units.resize(static_cast<size_t>(end / 2), 0);
    for (uint32_t i = 0; i < length; ++i) {
        uint16_t& unit = units[(offset + i) / 2];
        if ((offset + i) % 2 == 0) {
            unit = static_cast<uint16_t>((unit & 0xFF00) | in[i]);
        } else {
            unit = static_cast<uint16_t>((unit & 0x00FF) | (in[i] << 8));
        }
    }
    return static_cast<int32_t>(length);
}

}  // namespace

int32_t SimCamera::getProperty(int32_t property, int64_t* value) const {
    switch (property) {
        case TARVEX_SIM_PROP_VARIANT:
            *value = identity_.variant();
            break;
        case TARVEX_SIM_PROP_NUMBER:
            *value = number_;
            break;
        case TARVEX_SIM_PROP_BUSY_READS_BIT0:
            *value = status_.readsSeeingBusy(0);
            break;
        case TARVEX_SIM_PROP_BUSY_READS_BIT1:
            *value = status_.readsSeeingBusy(1);
            break;
        case TARVEX_SIM_PROP_CPU_HELD:
            *value = controller_.cpuByte();
            break;
        case TARVEX_SIM_PROP_FIRMWARE_BYTES:
            *value = controller_.loadedBytes();
            break;
        case TARVEX_SIM_PROP_OPEN_HANDLES:
            *value = openHandles_;
            break;
        case TARVEX_SIM_PROP_STREAMING:
            *value = stream_.acquiring() ? 1 : 0;
            break;
        case TARVEX_SIM_PROP_ARMED_BYTES:
            *value = stream_.armedBytes();
            break;
        case TARVEX_SIM_PROP_FRAMES_DELIVERED:
            *value = static_cast<int64_t>(stream_.framesDelivered());
            break;
        case TARVEX_SIM_PROP_TRANSFER_STATUS:
            *value = transferStatus_;
            break;
        case TARVEX_SIM_PROP_LAST_ERROR:
            *value = lastError_;
            break;
        case TARVEX_SIM_PROP_PACED:
            *value = stream_.paced() ? 1 : 0;
            break;
        case TARVEX_SIM_PROP_PERIPHERAL_OUTPUTS:
            *value = port_.outputs();
            break;
        case TARVEX_SIM_PROP_PERIPHERAL_ACTIONS:
            *value = static_cast<int64_t>(port_.actions());
            break;
        case TARVEX_SIM_PROP_PERIPHERAL_INPUTS:
            *value = port_.inputs();
            break;
        case TARVEX_SIM_PROP_SYNC_MODE:
            *value = sync_.mode();
            break;
        case TARVEX_SIM_PROP_SNAPSHOT_PENDING:
            *value = snapshot_.pending();
            break;
        case TARVEX_SIM_PROP_FRAME_TIMEOUT_MS:
            *value = snapshot_.timeoutMs();
            break;
        case TARVEX_SIM_PROP_SENSOR_READS:
            *value = static_cast<int64_t>(sensorReads_);
            break;
        case TARVEX_SIM_PROP_EEPROM_BYTES:
            *value = eeprom_.imageBytes();
            break;
        default:
            return TARVEX_SIM_EINVAL;
    }
    return 0;
}

int32_t SimCamera::setProperty(int32_t property, int64_t value) {
    bool accepted;
    switch (property) {
        case TARVEX_SIM_PROP_BUSY_READS_BIT0:
            accepted = status_.setReadsSeeingBusy(StatusByte::BIT_WRITE, value);
            break;
        case TARVEX_SIM_PROP_BUSY_READS_BIT1:
            accepted = status_.setReadsSeeingBusy(StatusByte::BIT_BLOCK_WRITE, value);
            break;
        case TARVEX_SIM_PROP_TRANSFER_STATUS:
            accepted = toWord(value, &transferStatus_);
            break;
        case TARVEX_SIM_PROP_LAST_ERROR:
            accepted = toWord(value, &lastError_);
            break;
        case TARVEX_SIM_PROP_PACED:
            accepted = value == 0 || value == 1;
            if (accepted) stream_.setPaced(value == 1);
            break;
        case TARVEX_SIM_PROP_PERIPHERAL_INPUTS:
            accepted = value >= 0 && value <= 0xFF;
            if (accepted) port_.setInputs(static_cast<uint8_t>(value));
            break;
        case TARVEX_SIM_PROP_SYNC_MODE:
            accepted = sync_.setMode(value);
            break;
        case TARVEX_SIM_PROP_FRAME_TIMEOUT_MS:
            accepted = value <= INT32_MAX && snapshot_.setTimeoutMs(value);
            break;
        default:
            accepted = false;  // unknown or read-only
            break;
    }
    return accepted ? 0 : TARVEX_SIM_EINVAL;
}

int32_t SimCamera::readMemory(int32_t memory, uint32_t offset, uint8_t* out, uint32_t length) {
    switch (memory) {
        case TARVEX_SIM_MEM_CONTROLLER:
            return access(controller_.bytes().data(), ControllerMemory::SIZE, offset, out, nullptr, length);
        case TARVEX_SIM_MEM_DEVICE:
            return access(deviceMemory_.bytes().data(), WrappingMemory::SIZE, offset, out, nullptr, length);
        case TARVEX_SIM_MEM_EEPROM:
            return access(eeprom_.bytes().data(), Eeprom::SIZE, offset, out, nullptr, length);
        case TARVEX_SIM_MEM_SENSOR:
            return access(reinterpret_cast<uint8_t*>(sensor_.values()), SENSOR_BYTES, offset, out, nullptr,
                          length);
        case TARVEX_SIM_MEM_SLOT:
            return access(slot_, SLOT_RECORD_BYTES, offset, out, nullptr, length);
        case TARVEX_SIM_MEM_FIRMWARE_BLOCK:
            return access(blocks_.bytes().data(), FirmwareBlocks::SIZE, offset, out, nullptr, length);
        case TARVEX_SIM_MEM_BULK:
            return static_cast<int32_t>(bulk_.peek(offset, out, length));
        case TARVEX_SIM_MEM_STRING1:
            return accessUnits(identity_.stringUnits(1), offset, out, nullptr, length);
        case TARVEX_SIM_MEM_STRING2:
            return accessUnits(identity_.stringUnits(2), offset, out, nullptr, length);
        case TARVEX_SIM_MEM_DEVICE_DESCRIPTOR:
            return access(identity_.deviceDescriptor(), DEVICE_DESCRIPTOR_BYTES, offset, out, nullptr,
                          length);
        default:
            return TARVEX_SIM_EINVAL;
    }
}

int32_t SimCamera::writeMemory(int32_t memory, uint32_t offset, const uint8_t* data, uint32_t length) {
    int32_t count;
    switch (memory) {
        case TARVEX_SIM_MEM_CONTROLLER:
            return access(controller_.bytes().data(), ControllerMemory::SIZE, offset, nullptr, data, length);
        case TARVEX_SIM_MEM_DEVICE:
            return access(deviceMemory_.bytes().data(), WrappingMemory::SIZE, offset, nullptr, data, length);
        case TARVEX_SIM_MEM_EEPROM:
            count = access(eeprom_.bytes().data(), Eeprom::SIZE, offset, nullptr, data, length);
            if (count > 0 && offset + static_cast<uint32_t>(count) > eeprom_.imageBytes()) {
                eeprom_.setImageBytes(offset + static_cast<uint32_t>(count));
            }
            return count;
        case TARVEX_SIM_MEM_SENSOR:
            return access(reinterpret_cast<uint8_t*>(sensor_.values()), SENSOR_BYTES, offset, nullptr, data,
                          length);
        case TARVEX_SIM_MEM_SLOT:
            return access(slot_, SLOT_RECORD_BYTES, offset, nullptr, data, length);
        case TARVEX_SIM_MEM_FIRMWARE_BLOCK:
            return access(blocks_.bytes().data(), FirmwareBlocks::SIZE, offset, nullptr, data, length);
        case TARVEX_SIM_MEM_BULK:
            return static_cast<int32_t>(bulk_.poke(offset, data, length));
        case TARVEX_SIM_MEM_STRING1:
            return accessUnits(identity_.stringUnits(1), offset, nullptr, data, length);
        case TARVEX_SIM_MEM_STRING2:
            return accessUnits(identity_.stringUnits(2), offset, nullptr, data, length);
        case TARVEX_SIM_MEM_DEVICE_DESCRIPTOR:
            return access(identity_.deviceDescriptor(), DEVICE_DESCRIPTOR_BYTES, offset, nullptr, data,
                          length);
        default:
            return TARVEX_SIM_EINVAL;
    }
}

}  // namespace tarvex::sim
