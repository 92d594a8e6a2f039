// The start and stop sequences of the image stream.
#pragma once

#include <cstdint>

#include "platform/win32.h"
#include "tarvex.h"

namespace tarvex {

// Arms the driver's stream with frameBytes and switches acquisition on, under
// `lock`. Every step is sent; any failure gives ERR_DRIVER_CALL.
ApiStatus startStream(HANDLE device, CRITICAL_SECTION* lock, int32_t frameBytes);

// Switches acquisition off and stops the driver's stream, under `lock`.
// Every step is sent; any failure gives ERR_DRIVER_CALL.
ApiStatus stopStream(HANDLE device, CRITICAL_SECTION* lock);

}  // namespace tarvex
