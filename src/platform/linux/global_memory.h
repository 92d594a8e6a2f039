// What the Linux stand-in's memory services hold, for tests and for
// tarvex_system_live_blocks.
#pragma once

#include <cstdint>

namespace tarvex::platform {

// Movable global memory blocks allocated and not yet freed.
uint32_t liveGlobalBlocks();

// Locks taken on live global blocks and not yet released.
uint32_t outstandingGlobalLocks();

// Process-heap blocks allocated and not yet freed.
uint32_t liveHeapBlocks();

}  // namespace tarvex::platform
