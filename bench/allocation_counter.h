// Counts the heap allocations of the whole process - the library and the
// simulated camera inside it included - by replacing malloc and the global
// operator new in the benchmark program. Include it in exactly one file.
//
// Under a sanitizer, which brings its own allocator, nothing is replaced and
// the count stays 0; allocationCountingWorks() says which.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace bench {

inline std::atomic<uint64_t> heapAllocations{0};

inline uint64_t allocationCount() {
    return heapAllocations.load(std::memory_order_relaxed);
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
inline constexpr bool allocationCountingWorks() {
    return false;
}
#else
inline constexpr bool allocationCountingWorks() {
    return true;
}
#endif

}  // namespace bench

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)

// The C library's own allocator, under the names it exports beside malloc.
extern "C" void* __libc_malloc(size_t size);
extern "C" void* __libc_calloc(size_t count, size_t size);
extern "C" void* __libc_realloc(void* block, size_t size);
extern "C" void __libc_free(void* block);

extern "C" void* malloc(size_t size) {
    bench::heapAllocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(size);
}

extern "C" void* calloc(size_t count, size_t size) {
    bench::heapAllocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_calloc(count, size);
}

extern "C" void* realloc(void* block, size_t size) {
    bench::heapAllocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(block, size);
}

extern "C" void free(void* block) {
    __libc_free(block);
}

// operator new goes through the counting malloc above.
void* operator new(size_t size) {
    void* block = malloc(size == 0 ? 1 : size);
    if (block == nullptr) throw std::bad_alloc();
    return block;
}
void* operator new[](size_t size) {
    return operator new(size);
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    return malloc(size == 0 ? 1 : size);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    return malloc(size == 0 ? 1 : size);
}
void operator delete(void* block) noexcept {
    free(block);
}
void operator delete[](void* block) noexcept {
    free(block);
}
void operator delete(void* block, size_t) noexcept {
    free(block);
}
void operator delete[](void* block, size_t) noexcept {
    free(block);
}

#endif
