// TarvexDeviceControl: five small controller operations by type.
#include "camera/locked_camera.h"
#include "transport/vendor_request.h"

using namespace tarvex;

namespace {

enum DeviceControlType : uint32_t {
    CONSTANT_ONE = 0,      // the byte 1, nothing sent
    CONTROLLER_BYTE = 1,   // one byte of 0xBE, index 0
    CONTROLLER_BLOCK = 2,  // *size bytes of 0xBE, index 1
    STATUS_BYTE = 3,       // one byte of 0xC1
    COMMAND_BYTE = 4,      // 0xC0 with the byte 0
};

constexpr uint32_t CONTROLLER_BYTE_INDEX = 0;
constexpr uint32_t CONTROLLER_BLOCK_INDEX = 1;

}  // namespace

extern "C" ApiStatus TARVEX_CALL TarvexDeviceControl(CameraHandle handle, uint32_t type, void* buffer,
                                                     int32_t* size) {
    LockedCamera camera(handle);
    if (!camera) return ERR_INVALID_HANDLE;

    // The command byte uses neither pointer; every other type uses *size.
    if (type == COMMAND_BYTE) return writeVendorByte(camera->device, request::CONTROLLER_COMMAND, 0);
    if (size == nullptr) return ERR_OUT_OF_RANGE;

    switch (type) {
        case CONSTANT_ONE:
            if (buffer == nullptr) return ERR_OUT_OF_RANGE;
            *static_cast<uint8_t*>(buffer) = 1;
            *size = 1;
            return 0;
        case CONTROLLER_BYTE:
        case STATUS_BYTE: {
            if (buffer == nullptr) return ERR_OUT_OF_RANGE;
            const uint8_t code =
                type == CONTROLLER_BYTE ? request::CONTROLLER_READ : request::CONTROLLER_BYTE;
            ApiStatus status = readVendorBytes(camera->device, code, CONTROLLER_BYTE_INDEX, buffer, 1);
            *size = 1;  // whatever the result
            return status;
        }
        case CONTROLLER_BLOCK:
            // A negative count would reach the driver as a length of gigabytes.
            if (*size < 0) return ERR_OUT_OF_RANGE;
            if (buffer == nullptr && *size != 0) return ERR_OUT_OF_RANGE;
            return readVendorBytes(camera->device, request::CONTROLLER_READ, CONTROLLER_BLOCK_INDEX, buffer,
                                   static_cast<uint32_t>(*size));
        default:
            *size = 0;
            return ERR_BAD_SELECTOR;
    }
}
