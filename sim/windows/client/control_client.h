// The client's channel to the simulated driver's control device: one
// control-protocol request per device-control call.
#pragma once

#include <cstdint>

#include "control_protocol.h"

namespace tarvex::sim::windows {

// Sends `request` with `inSize` bytes of bulk data after it, and receives the
// reply with up to `outSize` bytes of bulk data into `out`. Returns the
// reply's result, or TARVEX_SIM_ENODRIVER when the driver cannot be reached.
ControlReply sendControl(const ControlRequest& request, const void* in, uint32_t inSize, void* out,
                         uint32_t outSize);

}  // namespace tarvex::sim::windows
