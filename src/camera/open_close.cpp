// Opening and closing a camera: BeginTarvex and EndTarvex.
#include <cstring>
#include <new>

#include "acquisition/stream.h"
#include "camera/camera_state.h"
#include "camera/locked_camera.h"
#include "discovery/camera_detection.h"
#include "transport/driver_call.h"
#include "transport/driver_codes.h"
#include "transport/vendor_request.h"

namespace tarvex {

namespace {

constexpr uint16_t REGISTER_READ_MODE = 0x1E;
constexpr int REGISTER_READ_MODE_SLOT = 12;

// Reads the first two characters of string descriptor 1 and names the
// variant they identify, or returns 0. Only the low bytes of the characters
// count.
int32_t identifyVariant(HANDLE device) {
    uint8_t query[4] = {1, 0, static_cast<uint8_t>(driver::STRING_LANGUAGE & 0xFF),
                        static_cast<uint8_t>(driver::STRING_LANGUAGE >> 8)};
    uint8_t answer[6] = {};
    if (!callDriverExact(device, driver::GET_STRING_DESCRIPTOR, query, sizeof query, answer, sizeof answer)) {
        return 0;
    }
    if (answer[2] == 'S' && answer[4] == '4') return VARIANT_1;
    if (answer[2] == 'U' && answer[4] == 'A') return VARIANT_2;
    return 0;
}

// The values a camera starts from at every open.
void setValuesAtOpen(CameraState& camera) {
    camera.snapping = 0;
    camera.resolution = 0;
    camera.scaleFactor[0] = 1;
    camera.scaleFactor[1] = 2;
    camera.scaleFactor[2] = 4;
    camera.snapMode = 0;
    camera.triggerPolarity = 1;
    camera.strobePolarity = 1;
    camera.snapSpeed = 1;
    camera.windowWidth = TARVEX_SENSOR_WIDTH;
    camera.windowHeight = TARVEX_SENSOR_HEIGHT;
    camera.adcMode = 2;
    camera.peripheralOutputs = 0x3C;
}

// Brings a camera to its initial state. Every step is tried and none can
// make the open fail.
void initialiseCamera(CameraState& camera, HANDLE device, int32_t variant) {
    std::memcpy(camera.sensorShadow, SensorRegisterDefaults, sizeof camera.sensorShadow);
    uint16_t readMode = SensorRegisterDefaults[REGISTER_READ_MODE_SLOT];
    writeSensorRegisters(device, REGISTER_READ_MODE, &readMode, 1);

    camera.device = device;
    camera.variant = variant;
    callDriverExact(device, driver::GET_DEVICE_DESCRIPTOR, camera.deviceDescriptor,
                    sizeof camera.deviceDescriptor, camera.deviceDescriptor, sizeof camera.deviceDescriptor);

    InitializeCriticalSection(&camera.startLock);
    InitializeCriticalSection(&camera.stopLock);
    setValuesAtOpen(camera);

    // A camera left streaming by an earlier process comes to rest here.
    stopStream(device, &camera.stopLock);

    writeVendorByte(device, request::ADC_MODE, static_cast<uint8_t>(camera.adcMode));
    writeVendorByte(device, request::SNAP_MODE, camera.snapMode);
    writeVendorByte(device, request::TRIGGER_POLARITY, camera.triggerPolarity);
    writeVendorByte(device, request::STROBE_POLARITY, camera.strobePolarity);
    writeVendorByte(device, request::SNAP_SPEED, camera.snapSpeed);
    if (variant == VARIANT_2) {
        writeVendorByte(device, request::PERIPHERAL_OUTPUTS, camera.peripheralOutputs);
        writeVendorByte(device, request::PERIPHERAL_ACTION, 0);
    }
}

}  // namespace

}  // namespace tarvex

using namespace tarvex;

extern "C" TARVEX_API ApiStatus TARVEX_CALL BeginTarvex(int32_t index, CameraHandle* handle) {
    if (handle == nullptr) return ERR_OUT_OF_RANGE;
    *handle = nullptr;
    if (index <= 0 || index > deviceCount) return ERR_NO_DEVICE;

    HANDLE device = openCameraDevice(index);
    if (device == INVALID_HANDLE_VALUE) return ERR_INVALID_HANDLE;

    // Set-up calls whose results the open does not depend on.
    callDriverForStatus(device, driver::OPEN_SETUP, nullptr, 0);
    callDriverWithValue(device, driver::STREAM_RESET, 0);
    callDriverWithValue(device, driver::STREAM_RESET, 1);

    int32_t variant = identifyVariant(device);
    if (variant == 0) {
        CloseHandle(device);
        return ERR_UNRECOGNISED_DEVICE;
    }

    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(CameraState));
    if (block == nullptr) {
        CloseHandle(device);
        return ERR_NO_MEMORY;
    }
    void* address = GlobalLock(block);
    if (address == nullptr) {
        GlobalFree(block);
        CloseHandle(device);
        return ERR_NO_MEMORY;
    }
    auto* camera = new (address) CameraState();
    initialiseCamera(*camera, device, variant);
    GlobalUnlock(block);

    registerCameraHandle(block);
    *handle = block;
    return 0;
}

extern "C" TARVEX_API ApiStatus TARVEX_CALL EndTarvex(CameraHandle handle) {
    {
        LockedCamera camera(handle);
        if (!camera) return ERR_INVALID_HANDLE;
        if (camera->snapping != 0) stopStream(camera->device, &camera->stopLock);
        CloseHandle(camera->device);
        DeleteCriticalSection(&camera->startLock);
        DeleteCriticalSection(&camera->stopLock);
    }
    unregisterCameraHandle(handle);
    GlobalFree(static_cast<HGLOBAL>(handle));
    return 0;
}
