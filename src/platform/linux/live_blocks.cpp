// tarvex_system_live_blocks: what the memory services hold right now.
#include <cstdint>

#include "platform/linux/global_memory.h"
#include "tarvex_device.h"

using namespace tarvex::platform;

extern "C" uint32_t tarvex_system_live_blocks(int kind) {
    switch (kind) {
        case TARVEX_ALLOC_GLOBAL:
            return liveGlobalBlocks();
        case TARVEX_ALLOC_HEAP:
            return liveHeapBlocks();
        // Locks still held: a call that forgot to unlock shows here.
        case TARVEX_ALLOC_LOCK:
            return outstandingGlobalLocks();
        default:
            return 0;
    }
}
