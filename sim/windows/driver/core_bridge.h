// The driver's way into the simulated camera's core. Every call here is made
// with the driver's lock held (the core takes none of its own).
#pragma once

#include <cstdint>

#include "device_call.h"
#include "host.h"

namespace tarvex::kernel {

// Creates the core over `host` (at load) and destroys it, unplugging every
// camera (at unload).
bool startCore(sim::SimHost& host);
void stopCore();

// A handle is opened on camera `camera`: `nameRest` is what followed the
// device's name in the opened path. Returns 0 (and the handle's context in
// *file) or a system error code.
uint32_t openCamera(int32_t camera, const char* nameRest, void** file);
void closeCamera(int32_t camera, void* file);

// One device-control call on camera `camera`.
sim::CallOutcome callCamera(int32_t camera, void* file, sim::DeviceCall& call);

// One request of the control protocol: `request` is the request as the
// client sent it, `reply` receives the answer. Returns 0 and the reply's
// length, or a system error code (87 for a malformed request).
uint32_t controlCore(const void* request, uint32_t requestSize, void* reply, uint32_t replySize,
                     uint32_t* replyBytes);

}  // namespace tarvex::kernel
