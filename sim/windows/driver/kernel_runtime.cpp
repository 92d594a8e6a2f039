// operator new/delete over the kernel's non-paged pool, the standard library's
// error helpers, the atexit table and the static-constructor walk.
//
// The shared code is compiled without exceptions, so the standard library's
// "throw" helpers can only mean a fault in the simulator itself: they stop the
// system (under Wine: the device host) with a bug check rather than run on
// with a broken container.
#include "kernel_runtime.h"

#include <bits/functexcept.h>

#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <new>

#include "kernel.h"

namespace {

constexpr ULONG RUNTIME_FAULT = 0x54525653;  // bug-check code: "SVRT"

[[noreturn]] void runtimeFault(ULONG_PTR what) {
    KeBugCheckEx(RUNTIME_FAULT, what, 0, 0, 0);
    for (;;) {
    }
}

void* allocate(std::size_t bytes) {
    return ExAllocatePoolWithTag(NonPagedPool, bytes == 0 ? 1 : bytes, TARVEX_POOL_TAG);
}

void release(void* block) {
    if (block != nullptr) ExFreePoolWithTag(block, TARVEX_POOL_TAG);
}

void* allocateOrFault(std::size_t bytes) {
    void* block = allocate(bytes);
    if (block == nullptr) runtimeFault(1);
    return block;
}

// Pool blocks are aligned to 16 bytes, which covers every alignment the
// simulator's types ask for.
constexpr std::size_t POOL_ALIGNMENT = 16;

void* allocateAligned(std::size_t bytes, std::align_val_t alignment) {
    if (static_cast<std::size_t>(alignment) > POOL_ALIGNMENT) runtimeFault(2);
    return allocateOrFault(bytes);
}

using ExitHandler = void (*)();
constexpr int MAX_EXIT_HANDLERS = 64;
ExitHandler exitHandlers[MAX_EXIT_HANDLERS];
int exitHandlerCount = 0;

}  // namespace

namespace std {
const nothrow_t nothrow{};
}

void* operator new(std::size_t bytes) {
    return allocateOrFault(bytes);
}
void* operator new[](std::size_t bytes) {
    return allocateOrFault(bytes);
}
void* operator new(std::size_t bytes, const std::nothrow_t&) noexcept {
    return allocate(bytes);
}
void* operator new[](std::size_t bytes, const std::nothrow_t&) noexcept {
    return allocate(bytes);
}
void* operator new(std::size_t bytes, std::align_val_t alignment) {
    return allocateAligned(bytes, alignment);
}
void* operator new[](std::size_t bytes, std::align_val_t alignment) {
    return allocateAligned(bytes, alignment);
}
void* operator new(std::size_t bytes, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return static_cast<std::size_t>(alignment) > POOL_ALIGNMENT ? nullptr : allocate(bytes);
}
void* operator new[](std::size_t bytes, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return static_cast<std::size_t>(alignment) > POOL_ALIGNMENT ? nullptr : allocate(bytes);
}

void operator delete(void* block) noexcept {
    release(block);
}
void operator delete[](void* block) noexcept {
    release(block);
}
void operator delete(void* block, std::size_t) noexcept {
    release(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    release(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
    release(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
    release(block);
}
void operator delete(void* block, std::align_val_t) noexcept {
    release(block);
}
void operator delete[](void* block, std::align_val_t) noexcept {
    release(block);
}
void operator delete(void* block, std::size_t, std::align_val_t) noexcept {
    release(block);
}
void operator delete[](void* block, std::size_t, std::align_val_t) noexcept {
    release(block);
}
void operator delete(void* block, std::align_val_t, const std::nothrow_t&) noexcept {
    release(block);
}
void operator delete[](void* block, std::align_val_t, const std::nothrow_t&) noexcept {
    release(block);
}

namespace std {
[[noreturn]] void __throw_bad_alloc() {
    runtimeFault(10);
}
[[noreturn]] void __throw_bad_array_new_length() {
    runtimeFault(11);
}
[[noreturn]] void __throw_length_error(const char*) {
    runtimeFault(12);
}
[[noreturn]] void __throw_logic_error(const char*) {
    runtimeFault(13);
}
[[noreturn]] void __throw_out_of_range(const char*) {
    runtimeFault(14);
}
[[noreturn]] void __throw_out_of_range_fmt(const char*, ...) {
    runtimeFault(15);
}
[[noreturn]] void __throw_invalid_argument(const char*) {
    runtimeFault(16);
}
[[noreturn]] void __throw_bad_function_call() {
    runtimeFault(17);
}
[[noreturn]] void __throw_system_error(int) {
    runtimeFault(18);
}
[[noreturn]] void __throw_runtime_error(const char*) {
    runtimeFault(19);
}
[[noreturn]] void __throw_overflow_error(const char*) {
    runtimeFault(20);
}
[[noreturn]] void __throw_range_error(const char*) {
    runtimeFault(21);
}
[[noreturn]] void __throw_domain_error(const char*) {
    runtimeFault(22);
}
}  // namespace std

extern "C" {

// The C library's formatted output as the compiler's headers name it, over
// the kernel's own formatter. On truncation the output is cut and terminated
// and the result is the buffer's size, so that a caller sees it did not fit.
int __mingw_vsnprintf(char* out, size_t size, const char* format, va_list arguments) {
    if (size == 0) return 0;
    int written = _vsnprintf(out, size, format, arguments);
    if (written < 0 || static_cast<size_t>(written) >= size) {
        out[size - 1] = 0;
        return static_cast<int>(size);
    }
    return written;
}

int __mingw_snprintf(char* out, size_t size, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    int written = __mingw_vsnprintf(out, size, format, arguments);
    va_end(arguments);
    return written;
}

int atexit(ExitHandler handler) {
    if (exitHandlerCount == MAX_EXIT_HANDLERS) return -1;
    exitHandlers[exitHandlerCount++] = handler;
    return 0;
}

void __cxa_pure_virtual() {
    runtimeFault(30);
}

// The linker's list of static constructors: {-1, constructor..., 0}.
extern ExitHandler __CTOR_LIST__[];

}  // extern "C"

namespace tarvex::kernel {

void runStaticConstructors() {
    // The list is run from its end towards its start, as the compiler's own
    // start-up code does.
    int count = 0;
    while (__CTOR_LIST__[count + 1] != nullptr) ++count;
    for (int i = count; i >= 1; --i) __CTOR_LIST__[i]();
}

void runExitHandlers() {
    while (exitHandlerCount > 0) exitHandlers[--exitHandlerCount]();
}

}  // namespace tarvex::kernel
