// TarvexCommand: the entry point of the operations without a function of
// their own, told apart by the whole 32-bit command code.
#include <cstring>

#include "camera/locked_camera.h"
#include "info/command_operations.h"
#include "transport/vendor_request.h"

using namespace tarvex;

namespace {

enum Command : uint32_t {
    BLOCK_WRITE = 0,      // 0xBD, waits on busy bit 0
    BLOCK_WRITE_ALT = 1,  // 0xBF, waits on busy bit 1
    BLOCK_READ = 2,       // 0xC3
    COMMAND_BYTE = 3,     // 0xC4
    STROBE_SETUP = 37,
    REGISTER_PULSE = 40,
    FIRMWARE_WORD = 48,  // 0xDF, two bytes
    QUERY = 256,
};

constexpr uint32_t FIRMWARE_WORD_BYTES = 2;

// A block of *size bytes at data: a null block is accepted only when empty.
bool blockUsable(const void* data, const uint32_t* size) {
    return size != nullptr && (data != nullptr || *size == 0);
}

}  // namespace

extern "C" ApiStatus TARVEX_CALL TarvexCommand(CameraHandle handle, uint32_t command, void* data,
                                               uint32_t* size) {
    LockedCamera camera(handle);
    if (!camera) return ERR_INVALID_HANDLE;
    HANDLE device = camera->device;

    switch (command) {
        case BLOCK_WRITE:
            if (!blockUsable(data, size)) return ERR_OUT_OF_RANGE;
            return writeVendorBytes(device, request::BLOCK_WRITE, 0, data, *size, BUSY_WRITE);
        case BLOCK_WRITE_ALT:
            if (!blockUsable(data, size)) return ERR_OUT_OF_RANGE;
            return writeVendorBytes(device, request::BLOCK_WRITE_ALT, 0, data, *size, BUSY_BLOCK_WRITE);
        case BLOCK_READ:
            if (!blockUsable(data, size)) return ERR_OUT_OF_RANGE;
            return readVendorBytes(device, request::BLOCK_READ, 0, data, *size);
        case COMMAND_BYTE:
            if (data == nullptr) return ERR_OUT_OF_RANGE;
            return writeVendorByte(device, request::COMMAND_BYTE, *static_cast<uint8_t*>(data));
        case STROBE_SETUP: {
            if (data == nullptr) return ERR_OUT_OF_RANGE;
            StrobeSetup setup;
            std::memcpy(&setup, data, sizeof setup);  // the caller's record need not be aligned
            return setUpStrobe(*camera, setup);
        }
        case REGISTER_PULSE: {
            if (data == nullptr) return ERR_OUT_OF_RANGE;
            int32_t argument = 0;
            std::memcpy(&argument, data, sizeof argument);
            if (argument != 0) return ERR_BAD_SELECTOR;
            return pulseRegister0D(*camera);
        }
        case FIRMWARE_WORD:
            if (data == nullptr) return ERR_OUT_OF_RANGE;
            return readVendorBytes(device, request::FIRMWARE_WORD, 0, data, FIRMWARE_WORD_BYTES);
        case QUERY: {
            if (data == nullptr || size == nullptr) return ERR_OUT_OF_RANGE;
            CommandQuery query;
            std::memcpy(&query, data, sizeof query);
            return answerCommandQuery(*camera, query, size);
        }
        default:
            // Nothing is sent and data is not read; *size tells the caller no answer came.
            if (size == nullptr) return ERR_OUT_OF_RANGE;
            *size = 0;
            return ERR_BAD_SELECTOR;
    }
}
