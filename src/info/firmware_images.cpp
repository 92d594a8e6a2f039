// TarvexAnchorDownload and TarvexLoadEEPROM: firmware images for the
// controller's memory and for its EEPROM.
#include "camera/locked_camera.h"
#include "transport/vendor_request.h"

using namespace tarvex;

extern "C" ApiStatus TARVEX_CALL TarvexAnchorDownload(CameraHandle handle, const uint8_t* image,
                                                      uint32_t length) {
    LockedCamera camera(handle);
    if (!camera) return ERR_INVALID_HANDLE;
    if (image == nullptr && length != 0) return ERR_OUT_OF_RANGE;
    // The CPU is neither held nor released here: the caller brackets the
    // download with Tarvex8051Hold and Tarvex8051Run.
    return downloadFirmware(camera->device, image, length);
}

extern "C" ApiStatus TARVEX_CALL TarvexLoadEEPROM(CameraHandle handle, const uint8_t* image,
                                                  uint32_t length) {
    LockedCamera camera(handle);
    if (!camera) return ERR_INVALID_HANDLE;
    if (image == nullptr && length != 0) return ERR_OUT_OF_RANGE;
    return writeEepromImage(camera->device, image, length);
}
