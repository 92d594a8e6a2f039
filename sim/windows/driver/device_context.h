// What each of the driver's device objects carries in its extension: which
// kind of device it is and, for a camera, which camera it publishes.
#pragma once

#include <cstdint>

#include "kernel.h"

namespace tarvex::kernel {

enum class DeviceKind : uint32_t { Control = 1, Camera = 2 };

class CameraDevice;

struct DeviceContext {
    DeviceKind kind;
    CameraDevice* camera;  // Camera only; null once the camera was unplugged
    // Camera only: what followed the device's name in the path the caller
    // opened ("" for the numbered name, "\\0" for the interface path).
    const char* nameRest;
};

inline DeviceContext* contextOf(PDEVICE_OBJECT device) {
    return static_cast<DeviceContext*>(device->DeviceExtension);
}

}  // namespace tarvex::kernel
