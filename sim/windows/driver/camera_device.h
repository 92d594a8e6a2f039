// The device objects of one simulated camera and the two names it is found
// by: the numbered name "\\.\KQ-TarvexNT<n>" and a member of the camera's
// device-interface class, which callers open at its path followed by "\0".
//
// For the interface, the numbered device plays its own physical device: it
// answers the identity queries (device ID "ROOT\TARVEX" from the core's
// device path, an instance ID of the driver's) with which the system
// registers the interface. The
// system's object manager passes no name beyond a device object's own to the
// driver, so the interface path is made a directory holding the link "0" to a
// second device object of the camera: an open through it is told apart from
// an open of the numbered name.
#pragma once

#include <cstdint>

#include "host.h"
#include "kernel.h"

namespace tarvex::kernel {

class CameraDevice {
public:
    // Creates and publishes the devices of core camera `camera`. Returns null
    // and a system error code in *error when a name is taken or the system
    // refuses.
    static CameraDevice* plug(PDRIVER_OBJECT driver, const sim::DeviceNames& names, int32_t camera,
                              uint32_t* error);

    // Withdraws both names: the camera can no longer be found or opened, and
    // calls on handles still open on it fail with error 5 from now on.
    void withdraw();
    // Deletes the device objects (after withdraw, once no request of them is
    // being answered any more).
    void destroy();

    int32_t camera() const { return camera_; }

    // Answers IRP_MJ_PNP for the device.
    NTSTATUS answerPnp(PIRP irp);

private:
    CameraDevice() = default;
    ~CameraDevice() = default;

    NTSTATUS createDevice(PDRIVER_OBJECT driver, const char* suffix, const char* nameRest, wchar_t* name,
                          PDEVICE_OBJECT* device);
    NTSTATUS publishInterface();
    void withdrawInterface();
    void forgetRegistration();

    static constexpr size_t NAME_CAPACITY = 128;

    PDEVICE_OBJECT numberedDevice_ = nullptr;
    PDEVICE_OBJECT interfaceDevice_ = nullptr;
    int32_t camera_ = 0;
    wchar_t numberedDeviceName_[NAME_CAPACITY] = {};
    wchar_t interfaceDeviceName_[NAME_CAPACITY] = {};
    wchar_t dosName_[NAME_CAPACITY] = {};
    wchar_t deviceId_[NAME_CAPACITY] = {};
    wchar_t instanceId_[NAME_CAPACITY] = {};
    wchar_t suffixLink_[NAME_CAPACITY + 4] = {};
    bool hasDosName_ = false;
    UNICODE_STRING interfaceLink_ = {};
    bool registered_ = false;
    bool enabled_ = false;
    HANDLE interfaceDirectory_ = nullptr;
    bool hasSuffixLink_ = false;
};

}  // namespace tarvex::kernel
