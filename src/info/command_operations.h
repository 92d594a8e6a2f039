// The operations of TarvexCommand that do more than pass one vendor request
// through. Each runs on a locked camera.
#pragma once

#include <cstdint>

#include "camera/camera_state.h"
#include "tarvex.h"

namespace tarvex {

// Command 37: the strobe bits of sensor register 0x1E, then the strobe
// polarity byte (not recorded in the camera's strobePolarity).
ApiStatus setUpStrobe(CameraState& camera, const StrobeSetup& setup);

// Command 40: bit 0 of sensor register 0x0D set, then cleared.
ApiStatus pulseRegister0D(CameraState& camera);

// Command 256: a fixed word or one of three status words into
// *query.outBuffer; *size receives 4, or 0 when the query is refused.
ApiStatus answerCommandQuery(CameraState& camera, const CommandQuery& query, uint32_t* size);

}  // namespace tarvex
