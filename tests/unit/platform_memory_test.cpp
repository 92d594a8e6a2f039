// Movable memory blocks and the process heap of the Linux stand-in: handles
// that are not addresses, refusal of anything that is not a live block, lock
// counts, planned allocation failures and the live counts.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <thread>
#include <vector>

#include "platform/linux/global_memory.h"
#include "platform/win32.h"
#include "tarvex_device.h"

namespace {

constexpr UINT kMovableZeroed = GMEM_MOVEABLE | GMEM_ZEROINIT;

class PlatformMemory : public ::testing::Test {
protected:
    void TearDown() override {
        for (int kind : {TARVEX_ALLOC_GLOBAL, TARVEX_ALLOC_HEAP, TARVEX_ALLOC_LOCK})
            tarvex_system_fail_allocation(kind, 0, 0);
    }
};

TEST_F(PlatformMemory, BlockIsZeroedAndItsHandleIsNotItsAddress) {
    HGLOBAL block = GlobalAlloc(kMovableZeroed, 4096);
    ASSERT_NE(block, nullptr);
    auto* bytes = static_cast<unsigned char*>(GlobalLock(block));
    ASSERT_NE(bytes, nullptr);
    EXPECT_NE(static_cast<void*>(bytes), block);
    std::vector<unsigned char> zeros(4096, 0);
    EXPECT_EQ(std::memcmp(bytes, zeros.data(), zeros.size()), 0);
    std::memset(bytes, 0xA5, 4096);
    // A second lock yields the same address: the block does not move while locked.
    EXPECT_EQ(GlobalLock(block), bytes);
    GlobalUnlock(block);
    GlobalUnlock(block);
    EXPECT_EQ(GlobalFree(block), nullptr);
}

// Every value that is not a live block is refused without a crash, including
// the block's own address and a stack address (which the real system would
// take for a fixed block).
struct RefusedValue {
    const char* what;
    std::function<HGLOBAL()> make;
};

class RefusedBlockHandle : public PlatformMemory, public ::testing::WithParamInterface<RefusedValue> {};

TEST_P(RefusedBlockHandle, CannotBeLockedUnlockedOrFreed) {
    HGLOBAL value = GetParam().make();
    SetLastError(0);
    EXPECT_EQ(GlobalLock(value), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(GlobalUnlock(value));
    EXPECT_EQ(GlobalFree(value), value);
}

HGLOBAL freedBlock() {
    HGLOBAL block = GlobalAlloc(kMovableZeroed, 16);
    GlobalFree(block);
    return block;
}

HGLOBAL addressOfLiveBlock() {
    static HGLOBAL block = GlobalAlloc(kMovableZeroed, 16);
    void* address = GlobalLock(block);
    GlobalUnlock(block);
    return address;
}

HGLOBAL stackAddress() {
    alignas(16) static thread_local unsigned char buffer[64];
    return buffer;
}

// A handle of another kind from the same stand-in.
HGLOBAL heapHandle() {
    return GetProcessHeap();
}

INSTANTIATE_TEST_SUITE_P(
    Values, RefusedBlockHandle,
    ::testing::Values(RefusedValue{"zero", [] { return HGLOBAL{}; }}, RefusedValue{"freed", freedBlock},
                      RefusedValue{"one", [] { return reinterpret_cast<HGLOBAL>(std::uintptr_t{1}); }},
                      RefusedValue{"arbitrary",
                                   [] { return reinterpret_cast<HGLOBAL>(std::uintptr_t{0x12345678}); }},
                      RefusedValue{"minus_one", [] { return reinterpret_cast<HGLOBAL>(~std::uintptr_t{0}); }},
                      RefusedValue{"block_address", addressOfLiveBlock},
                      RefusedValue{"stack_address", stackAddress}, RefusedValue{"heap_handle", heapHandle}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(PlatformMemory, ReusedSlotRefusesTheHandleItHadBefore) {
    // Each round frees a block and allocates the next into the same slot.
    HGLOBAL previous = GlobalAlloc(kMovableZeroed, 8);
    for (int round = 0; round < 100; ++round) {
        ASSERT_EQ(GlobalFree(previous), nullptr);
        HGLOBAL next = GlobalAlloc(kMovableZeroed, 8);
        ASSERT_NE(next, previous);
        EXPECT_EQ(GlobalLock(previous), nullptr);
        ASSERT_NE(GlobalLock(next), nullptr);
        GlobalUnlock(next);
        previous = next;
    }
    EXPECT_EQ(GlobalFree(previous), nullptr);
}

TEST_F(PlatformMemory, UnlockReportsWhetherTheBlockStaysLocked) {
    HGLOBAL block = GlobalAlloc(kMovableZeroed, 8);
    uint32_t locksBefore = tarvex_system_live_blocks(TARVEX_ALLOC_LOCK);
    GlobalLock(block);
    GlobalLock(block);
    EXPECT_EQ(tarvex_system_live_blocks(TARVEX_ALLOC_LOCK), locksBefore + 2);
    EXPECT_TRUE(GlobalUnlock(block));
    SetLastError(99);
    EXPECT_FALSE(GlobalUnlock(block));
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    EXPECT_FALSE(GlobalUnlock(block));
    EXPECT_EQ(GetLastError(), ERROR_NOT_LOCKED);
    EXPECT_EQ(tarvex_system_live_blocks(TARVEX_ALLOC_LOCK), locksBefore);
    GlobalFree(block);
}

TEST_F(PlatformMemory, FreeingALockedBlockReleasesItsLocks) {
    uint32_t locksBefore = tarvex_system_live_blocks(TARVEX_ALLOC_LOCK);
    HGLOBAL block = GlobalAlloc(kMovableZeroed, 8);
    GlobalLock(block);
    EXPECT_EQ(GlobalFree(block), nullptr);
    EXPECT_EQ(tarvex_system_live_blocks(TARVEX_ALLOC_LOCK), locksBefore);
    EXPECT_EQ(GlobalFree(block), block);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(PlatformMemory, LiveCountsFollowAllocationAndRelease) {
    uint32_t globalBefore = tarvex_system_live_blocks(TARVEX_ALLOC_GLOBAL);
    uint32_t heapBefore = tarvex_system_live_blocks(TARVEX_ALLOC_HEAP);
    HGLOBAL block = GlobalAlloc(kMovableZeroed, 8);
    void* heapBlock = HeapAlloc(GetProcessHeap(), 0, 32);
    EXPECT_EQ(tarvex_system_live_blocks(TARVEX_ALLOC_GLOBAL), globalBefore + 1);
    EXPECT_EQ(tarvex_system_live_blocks(TARVEX_ALLOC_HEAP), heapBefore + 1);
    GlobalFree(block);
    EXPECT_TRUE(HeapFree(GetProcessHeap(), 0, heapBlock));
    EXPECT_EQ(tarvex_system_live_blocks(TARVEX_ALLOC_GLOBAL), globalBefore);
    EXPECT_EQ(tarvex_system_live_blocks(TARVEX_ALLOC_HEAP), heapBefore);
    EXPECT_EQ(tarvex_system_live_blocks(99), 0u);
}

TEST_F(PlatformMemory, HeapZeroesOnRequestAndFreesNullAsANoOp) {
    uint32_t heapBefore = tarvex_system_live_blocks(TARVEX_ALLOC_HEAP);
    auto* bytes = static_cast<unsigned char*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, 256));
    ASSERT_NE(bytes, nullptr);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(bytes[i], 0) << i;
    EXPECT_TRUE(HeapFree(GetProcessHeap(), 0, nullptr));
    EXPECT_TRUE(HeapFree(GetProcessHeap(), 0, bytes));
    EXPECT_EQ(tarvex_system_live_blocks(TARVEX_ALLOC_HEAP), heapBefore);
    // Only the process heap exists.
    EXPECT_EQ(HeapAlloc(reinterpret_cast<HANDLE>(bytes), 0, 8), nullptr);
}

// Planned failures: the nth next attempt of a kind and `count` after it fail.
struct FaultCase {
    const char* name;
    int kind;
    uint32_t nth;
    uint32_t count;
    const char* outcomes;  // one letter per attempt: 'o' succeeds, 'x' fails
};

class PlannedFailure : public PlatformMemory, public ::testing::WithParamInterface<FaultCase> {};

bool attempt(int kind, HGLOBAL lockTarget) {
    switch (kind) {
        case TARVEX_ALLOC_GLOBAL: {
            HGLOBAL block = GlobalAlloc(kMovableZeroed, 8);
            if (block == nullptr) return false;
            GlobalFree(block);
            return true;
        }
        case TARVEX_ALLOC_HEAP: {
            void* block = HeapAlloc(GetProcessHeap(), 0, 8);
            if (block == nullptr) return false;
            HeapFree(GetProcessHeap(), 0, block);
            return true;
        }
        default: {
            if (GlobalLock(lockTarget) == nullptr) return false;
            GlobalUnlock(lockTarget);
            return true;
        }
    }
}

TEST_P(PlannedFailure, FailsExactlyThePlannedAttempts) {
    const FaultCase& plan = GetParam();
    HGLOBAL lockTarget = GlobalAlloc(kMovableZeroed, 8);
    uint32_t globalBefore = tarvex_system_live_blocks(TARVEX_ALLOC_GLOBAL);
    uint32_t heapBefore = tarvex_system_live_blocks(TARVEX_ALLOC_HEAP);
    tarvex_system_fail_allocation(plan.kind, plan.nth, plan.count);
    std::string seen;
    for (size_t i = 0; plan.outcomes[i] != '\0'; ++i) seen += attempt(plan.kind, lockTarget) ? 'o' : 'x';
    EXPECT_EQ(seen, plan.outcomes);
    // A failed allocation leaves nothing allocated.
    EXPECT_EQ(tarvex_system_live_blocks(TARVEX_ALLOC_GLOBAL), globalBefore);
    EXPECT_EQ(tarvex_system_live_blocks(TARVEX_ALLOC_HEAP), heapBefore);
    GlobalFree(lockTarget);
}

INSTANTIATE_TEST_SUITE_P(
    Plans, PlannedFailure,
    ::testing::Values(FaultCase{"global_next_once", TARVEX_ALLOC_GLOBAL, 1, 1, "xooo"},
                      FaultCase{"global_second_twice", TARVEX_ALLOC_GLOBAL, 2, 2, "oxxoo"},
                      FaultCase{"global_count_zero_fails_one", TARVEX_ALLOC_GLOBAL, 1, 0, "xoo"},
                      FaultCase{"global_cancelled", TARVEX_ALLOC_GLOBAL, 0, 5, "ooo"},
                      FaultCase{"heap_third_once", TARVEX_ALLOC_HEAP, 3, 1, "ooxoo"},
                      FaultCase{"heap_next_three", TARVEX_ALLOC_HEAP, 1, 3, "xxxo"},
                      FaultCase{"lock_next_once", TARVEX_ALLOC_LOCK, 1, 1, "xoo"},
                      FaultCase{"lock_second_once", TARVEX_ALLOC_LOCK, 2, 1, "oxo"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PlatformMemory, PlannedFailureOfOneKindSparesTheOthers) {
    tarvex_system_fail_allocation(TARVEX_ALLOC_HEAP, 1, 1);
    HGLOBAL block = GlobalAlloc(kMovableZeroed, 8);
    ASSERT_NE(block, nullptr);
    EXPECT_NE(GlobalLock(block), nullptr);
    GlobalUnlock(block);
    GlobalFree(block);
    EXPECT_EQ(HeapAlloc(GetProcessHeap(), 0, 8), nullptr);
}

TEST_F(PlatformMemory, LockFailureCountsOnlyLocksOfLiveBlocks) {
    HGLOBAL block = GlobalAlloc(kMovableZeroed, 8);
    tarvex_system_fail_allocation(TARVEX_ALLOC_LOCK, 1, 1);
    EXPECT_EQ(GlobalLock(nullptr), nullptr);  // refused anyway; the plan still waits
    EXPECT_EQ(GlobalLock(block), nullptr);
    EXPECT_NE(GlobalLock(block), nullptr);
    GlobalUnlock(block);
    GlobalFree(block);
}

TEST_F(PlatformMemory, ThreadsAllocateLockAndFreeSideBySide) {
    uint32_t globalBefore = tarvex_system_live_blocks(TARVEX_ALLOC_GLOBAL);
    uint32_t locksBefore = tarvex_system_live_blocks(TARVEX_ALLOC_LOCK);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < 500; ++i) {
                HGLOBAL block = GlobalAlloc(kMovableZeroed, 16);
                auto* value = static_cast<int*>(GlobalLock(block));
                ASSERT_NE(value, nullptr);
                EXPECT_EQ(*value, 0);
                *value = t * 1000 + i;
                EXPECT_EQ(*static_cast<int*>(GlobalLock(block)), t * 1000 + i);
                GlobalUnlock(block);
                GlobalUnlock(block);
                EXPECT_EQ(GlobalFree(block), nullptr);
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(tarvex_system_live_blocks(TARVEX_ALLOC_GLOBAL), globalBefore);
    EXPECT_EQ(tarvex_system_live_blocks(TARVEX_ALLOC_LOCK), locksBefore);
}

}  // namespace
