// The process heap over malloc, counting its live blocks so that tests can
// see per-call buffers released before the call returns.
#include <atomic>
#include <cstdint>
#include <cstdlib>

#include "platform/linux/allocation_faults.h"
#include "platform/linux/global_memory.h"
#include "platform/win32.h"
#include "tarvex_device.h"

namespace tarvex::platform {
namespace {

constinit std::atomic<uint32_t> liveBlocks{0};

// The process heap's handle: a fixed value that is no address.
HANDLE processHeap() {
    return reinterpret_cast<HANDLE>(std::uintptr_t{0x7A5E0001u});
}

}  // namespace

uint32_t liveHeapBlocks() {
    return liveBlocks.load();
}

}  // namespace tarvex::platform

using namespace tarvex::platform;

extern "C" HANDLE GetProcessHeap() {
    return processHeap();
}

extern "C" LPVOID HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes) {
    if (heap != processHeap()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (allocationShouldFail(TARVEX_ALLOC_HEAP)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    SIZE_T size = bytes == 0 ? 1 : bytes;
    void* block = (flags & HEAP_ZERO_MEMORY) != 0 ? std::calloc(1, size) : std::malloc(size);
    if (block == nullptr) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    liveBlocks.fetch_add(1);
    return block;
}

// Freeing null succeeds and frees nothing, as on Windows.
extern "C" BOOL HeapFree(HANDLE heap, DWORD, LPVOID block) {
    if (heap != processHeap()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (block == nullptr) return TRUE;
    std::free(block);
    liveBlocks.fetch_sub(1);
    return TRUE;
}
