// The system error codes the simulated driver answers with (the values a
// Windows driver's status codes turn into for the caller).
#pragma once

#include <cstdint>

namespace tarvex::sim {

inline constexpr uint32_t ERROR_NONE = 0;
inline constexpr uint32_t ERROR_INVALID_FUNCTION = 1;  // unknown device-control code
inline constexpr uint32_t ERROR_FILE_NOT_FOUND = 2;
inline constexpr uint32_t ERROR_ACCESS_DENIED = 5;            // a handle on an unplugged camera
inline constexpr uint32_t ERROR_GEN_FAILURE = 31;             // the device refused (a USB stall)
inline constexpr uint32_t ERROR_INVALID_PARAMETER = 87;       // malformed input block
inline constexpr uint32_t ERROR_SEM_TIMEOUT = 121;            // no triggered frame in time
inline constexpr uint32_t ERROR_INSUFFICIENT_BUFFER = 122;    // output too small for the answer
inline constexpr uint32_t ERROR_ALREADY_EXISTS = 183;         // name or path taken
inline constexpr uint32_t ERROR_DEVICE_NOT_CONNECTED = 1167;  // unplugged during the call

}  // namespace tarvex::sim
