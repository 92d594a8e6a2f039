// The simulated driver's control device, through which the Windows client of
// the simulated-camera interface (tarvex_sim.h) reaches the core: a request
// of the control protocol in the input buffer, its reply in the output
// buffer, with one buffered device-control code.
//
// Shared by the driver and the client; plain C++ without system headers.
#pragma once

#include <cstdint>

namespace tarvex::sim::windows {

// The device's name for CreateFileA, and its kernel names.
inline constexpr char CONTROL_DEVICE_PATH[] = "\\\\.\\TarvexSimControl";
inline constexpr wchar_t CONTROL_DEVICE_NAME[] = L"\\Device\\TarvexSimControl";
inline constexpr wchar_t CONTROL_DEVICE_LINK[] = L"\\DosDevices\\TarvexSimControl";

// Device type FILE_DEVICE_UNKNOWN (0x22), function 0x900, buffered, any access.
inline constexpr uint32_t CONTROL_REQUEST_CODE = (0x22u << 16) | (0x900u << 2) | 0u;

// The driver's service name (sc create / start / stop) and image file.
inline constexpr char DRIVER_SERVICE_NAME[] = "tarvexsim";

}  // namespace tarvex::sim::windows
