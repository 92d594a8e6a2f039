// GetTickCount over the installed tick source: the real monotonic clock, or
// the simulated camera's virtual clock.
#include <atomic>
#include <ctime>

#include "platform/linux/tick_source.h"
#include "platform/win32.h"

namespace tarvex::platform {
namespace {
// Constant-initialised: the simulated camera installs its clock from a
// load-time constructor.
constinit std::atomic<TickSource> installedSource{nullptr};
}  // namespace

void setTickSource(TickSource source) {
    installedSource.store(source);
}

uint64_t realTickMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
}

}  // namespace tarvex::platform

extern "C" DWORD GetTickCount() {
    tarvex::platform::TickSource source = tarvex::platform::installedSource.load();
    uint64_t milliseconds = source != nullptr ? source() : tarvex::platform::realTickMilliseconds();
    return static_cast<DWORD>(milliseconds);
}
