#include "discovery/camera_detection.h"

#include "discovery/interface_devices.h"
#include "discovery/legacy_devices.h"
#include "tarvex.h"

namespace tarvex {

int32_t useLegacyNaming = 0;
int32_t deviceCount = 0;

namespace {

// Numbered names are used only on Windows NT 4.x: top bit clear (the NT
// family) and major version 4 in the low byte.
bool systemWantsLegacyNaming(DWORD version) {
    return version < 0x80000000u && (version & 0xFF) == 4;
}

}  // namespace

void detectCameras() {
    useLegacyNaming = systemWantsLegacyNaming(GetVersion()) ? 1 : 0;
    countCameras();
}

int32_t countCameras() {
    deviceCount = useLegacyNaming ? countLegacyDevices(LEGACY_BASE_NAME)
                                  : countInterfaceDevices(CAMERA_INTERFACE_CLASS);
    return deviceCount;
}

HANDLE openCameraDevice(int32_t index) {
    if (useLegacyNaming) return openLegacyDevice(LEGACY_BASE_NAME, index);
    return openInterfaceDevice(CAMERA_INTERFACE_CLASS, devicePath, static_cast<DWORD>(index - 1), 0);
}

}  // namespace tarvex

extern "C" TARVEX_API int32_t TARVEX_CALL TarvexGetDeviceNumber(void) {
    return tarvex::countCameras();
}
