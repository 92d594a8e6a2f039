// TarvexDeviceMemRead / TarvexDeviceMemWrite: the camera's device memory.
#include <cstdint>

#include "camera/locked_camera.h"
#include "transport/vendor_request.h"

using namespace tarvex;

namespace {
// Writes reach only the first kilobyte of device memory; reads are not limited.
constexpr uint32_t WRITABLE_BYTES = 1024;
constexpr uint32_t WRITE_CHUNK_BYTES = 64;
}  // namespace

extern "C" ApiStatus TARVEX_CALL TarvexDeviceMemRead(CameraHandle handle, uint32_t address, void* buffer,
                                                     uint32_t length) {
    LockedCamera camera(handle);
    if (!camera) return ERR_INVALID_HANDLE;
    if (buffer == nullptr && length != 0) return ERR_OUT_OF_RANGE;
    return readVendorBytes(camera->device, request::MEMORY_READ, address, buffer, length);
}

extern "C" ApiStatus TARVEX_CALL TarvexDeviceMemWrite(CameraHandle handle, uint32_t address, const void* data,
                                                      uint32_t length) {
    LockedCamera camera(handle);
    if (!camera) return ERR_INVALID_HANDLE;
    if (data == nullptr && length != 0) return ERR_OUT_OF_RANGE;
    // Tested without forming address + length, which could wrap past 2^32
    // and let a huge write through.
    if (address > WRITABLE_BYTES || length > WRITABLE_BYTES - address) return ERR_OUT_OF_RANGE;

    // Each chunk waits for the controller before the next one goes out.
    const auto* bytes = static_cast<const uint8_t*>(data);
    for (uint32_t offset = 0; offset < length; offset += WRITE_CHUNK_BYTES) {
        const uint32_t chunk = length - offset < WRITE_CHUNK_BYTES ? length - offset : WRITE_CHUNK_BYTES;
        ApiStatus status = writeVendorBytes(camera->device, request::MEMORY_WRITE, address + offset,
                                            bytes + offset, chunk, BUSY_WRITE);
        if (status != 0) return status;  // the chunks before it stay written
    }
    return 0;
}
