// Where the Linux stand-in's GetTickCount reads the time: the real monotonic
// clock, or a virtual clock installed by the simulated camera.
#pragma once

#include <cstdint>

namespace tarvex::platform {

// Returns milliseconds; GetTickCount reports their low 32 bits.
using TickSource = uint64_t (*)();

// Installs a source (nullptr: the real clock again).
void setTickSource(TickSource source);

// Milliseconds of the real monotonic clock.
uint64_t realTickMilliseconds();

}  // namespace tarvex::platform
