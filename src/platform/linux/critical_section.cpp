// Critical sections: recursive locks, as on Windows, kept inside the caller's
// CRITICAL_SECTION storage so that initialising one allocates nothing.
#include <mutex>
#include <new>

#include "platform/win32.h"

namespace {

static_assert(sizeof(std::recursive_mutex) <= sizeof(CRITICAL_SECTION::storage));
static_assert(alignof(std::recursive_mutex) <= alignof(CRITICAL_SECTION));

std::recursive_mutex& mutexIn(LPCRITICAL_SECTION section) {
    return *std::launder(reinterpret_cast<std::recursive_mutex*>(section->storage));
}

}  // namespace

extern "C" void InitializeCriticalSection(LPCRITICAL_SECTION section) {
    new (section->storage) std::recursive_mutex();
}

extern "C" void DeleteCriticalSection(LPCRITICAL_SECTION section) {
    mutexIn(section).~recursive_mutex();
}

extern "C" void EnterCriticalSection(LPCRITICAL_SECTION section) {
    mutexIn(section).lock();
}

extern "C" void LeaveCriticalSection(LPCRITICAL_SECTION section) {
    mutexIn(section).unlock();
}

extern "C" BOOL TryEnterCriticalSection(LPCRITICAL_SECTION section) {
    return mutexIn(section).try_lock() ? TRUE : FALSE;
}
