// The one entry point of the control interface.
#pragma once

#include "control_protocol.h"
#include "simulator.h"

namespace tarvex::sim {

ControlReply executeControl(Simulator& simulator, const ControlRequest& request, const ControlData& data);

}  // namespace tarvex::sim
