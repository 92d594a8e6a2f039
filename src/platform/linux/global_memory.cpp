// Movable global memory blocks. The handle is an opaque value, not the
// block's address, so that GlobalLock refuses 0, a freed handle (whose slot
// may already hold a new block), a pointer and any other number.
#include <cstdint>
#include <cstdlib>
#include <mutex>

#include "platform/linux/allocation_faults.h"
#include "platform/linux/global_memory.h"
#include "platform/linux/handle_table.h"
#include "platform/win32.h"
#include "tarvex_device.h"

namespace tarvex::platform {
namespace {

struct Block {
    void* memory = nullptr;
    uint32_t locks = 0;
};

struct BlockTable {
    std::mutex lock;
    HandleTable<Block> blocks{HandleKind::GlobalMemory};
    uint32_t outstandingLocks = 0;
};

// Never destroyed: blocks may be freed by exit-time code of the library.
BlockTable& blockTable() {
    static BlockTable* table = new BlockTable();
    return *table;
}

}  // namespace

uint32_t liveGlobalBlocks() {
    BlockTable& table = blockTable();
    std::lock_guard guard(table.lock);
    return table.blocks.live();
}

uint32_t outstandingGlobalLocks() {
    BlockTable& table = blockTable();
    std::lock_guard guard(table.lock);
    return table.outstandingLocks;
}

}  // namespace tarvex::platform

using namespace tarvex::platform;

extern "C" HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) {
    if (allocationShouldFail(TARVEX_ALLOC_GLOBAL)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    // A block of 0 bytes still gets an address, so that locking it succeeds.
    SIZE_T size = bytes == 0 ? 1 : bytes;
    void* memory = (flags & GMEM_ZEROINIT) != 0 ? std::calloc(1, size) : std::malloc(size);
    if (memory == nullptr) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    BlockTable& table = blockTable();
    std::uintptr_t handle;
    {
        std::lock_guard guard(table.lock);
        handle = table.blocks.insert(Block{memory, 0});
    }
    if (handle == 0) {
        std::free(memory);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    return reinterpret_cast<HGLOBAL>(handle);
}

extern "C" LPVOID GlobalLock(HGLOBAL block) {
    BlockTable& table = blockTable();
    std::lock_guard guard(table.lock);
    Block* found = table.blocks.find(reinterpret_cast<std::uintptr_t>(block));
    if (found == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    // Only a lock that would have succeeded counts towards a planned failure.
    if (allocationShouldFail(TARVEX_ALLOC_LOCK)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    ++found->locks;
    ++table.outstandingLocks;
    return found->memory;
}

// TRUE while the block stays locked; FALSE with ERROR_SUCCESS when this was
// its last lock, as the system reports it.
extern "C" BOOL GlobalUnlock(HGLOBAL block) {
    BlockTable& table = blockTable();
    std::lock_guard guard(table.lock);
    Block* found = table.blocks.find(reinterpret_cast<std::uintptr_t>(block));
    if (found == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (found->locks == 0) {
        SetLastError(ERROR_NOT_LOCKED);
        return FALSE;
    }
    --found->locks;
    --table.outstandingLocks;
    if (found->locks > 0) return TRUE;
    SetLastError(ERROR_SUCCESS);
    return FALSE;
}

// Null on success; the handle itself when it names no live block. A block
// still locked is freed all the same, as on Windows.
extern "C" HGLOBAL GlobalFree(HGLOBAL block) {
    BlockTable& table = blockTable();
    Block freed;
    {
        std::lock_guard guard(table.lock);
        if (!table.blocks.erase(reinterpret_cast<std::uintptr_t>(block), freed)) {
            SetLastError(ERROR_INVALID_HANDLE);
            return block;
        }
        table.outstandingLocks -= freed.locks;
    }
    std::free(freed.memory);
    return nullptr;
}
