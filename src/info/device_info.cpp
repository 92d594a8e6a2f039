// TarvexGetDeviceInfo: identity and capability records by type, with size
// negotiation.
#include <cstring>

#include "camera/locked_camera.h"
#include "info/descriptor_string.h"
#include "sensor/sensor_registers.h"

using namespace tarvex;

namespace {

// Width and height of resolution modes 0, 1 and 2.
constexpr int32_t ResolutionList[6] = {1280, 1024, 640, 512, 320, 256};
// Least horizontal and vertical delay, then the greatest: the arguments of
// TarvexSetDelay that keep the blanking registers within 0-2047.
constexpr int32_t DelayRange[4] = {-9, -25, 2038, 2022};

constexpr uint32_t SENSOR_ID_REGISTER = 0x00;
constexpr size_t RELEASE_OFFSET = 12;  // bcdDevice in the USB device descriptor

// The exact size of a record type, or 0 for a type that names no record.
int32_t recordSize(uint32_t type) {
    switch (type) {
        case TARVEX_INFO_IDENTIFICATION:
        case TARVEX_INFO_SENSOR_ID:
        case TARVEX_INFO_RELEASE:
            return 2;
        case TARVEX_INFO_MODEL:
            return 12;
        case TARVEX_INFO_CONSTANT_ONE:
            return 1;
        case TARVEX_INFO_RESOLUTIONS:
            return sizeof ResolutionList;
        case TARVEX_INFO_DELAY_RANGE:
            return sizeof DelayRange;
        default:
            return 0;
    }
}

ApiStatus deliverRecord(const CameraState& camera, uint32_t type, void* buffer) {
    auto* bytes = static_cast<uint8_t*>(buffer);
    switch (type) {
        case TARVEX_INFO_IDENTIFICATION:
            return readDescriptorString(camera.device, 1, 2, static_cast<char*>(buffer));
        case TARVEX_INFO_MODEL:
            return readDescriptorString(camera.device, 2, 12, static_cast<char*>(buffer));
        case TARVEX_INFO_CONSTANT_ONE:
            bytes[0] = 1;
            return 0;
        case TARVEX_INFO_SENSOR_ID: {
            // Read into an aligned word: the caller's buffer need not be.
            uint16_t sensorId = 0;
            ApiStatus status = readSensorRegisters(camera.device, SENSOR_ID_REGISTER, &sensorId, 1);
            if (status == 0) std::memcpy(buffer, &sensorId, sizeof sensorId);
            return status;
        }
        case TARVEX_INFO_RELEASE:
            std::memcpy(buffer, camera.deviceDescriptor + RELEASE_OFFSET, 2);
            return 0;
        case TARVEX_INFO_RESOLUTIONS:
            std::memcpy(buffer, ResolutionList, sizeof ResolutionList);
            return 0;
        case TARVEX_INFO_DELAY_RANGE:
            std::memcpy(buffer, DelayRange, sizeof DelayRange);
            return 0;
        default:
            return ERR_BAD_SELECTOR;
    }
}

}  // namespace

extern "C" ApiStatus TARVEX_CALL TarvexGetDeviceInfo(CameraHandle handle, uint32_t type, void* buffer,
                                                     int32_t* size) {
    LockedCamera camera(handle);
    if (!camera) return ERR_INVALID_HANDLE;
    if (size == nullptr) return ERR_OUT_OF_RANGE;

    const int32_t expected = recordSize(type);
    if (expected == 0) {
        *size = 0;
        return ERR_BAD_SELECTOR;
    }
    // Size negotiation: a caller without a buffer of the right size learns the
    // size and nothing is read. With no buffer *size is only written.
    if (buffer == nullptr || *size != expected) {
        *size = expected;
        return 0;
    }
    return deliverRecord(*camera, type, buffer);
}
