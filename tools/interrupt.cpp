#include "interrupt.h"

#include <atomic>
#include <csignal>

namespace tarvex_tool {

namespace {

// On Windows the handler runs on a thread of its own: a lock-free atomic is
// safe both there and in a POSIX signal handler.
std::atomic<bool> interruptFlag{false};
static_assert(std::atomic<bool>::is_always_lock_free);

void onInterrupt(int signal) {
    interruptFlag.store(true);
    std::signal(signal, SIG_DFL);
}

}  // namespace

void installInterruptHandler() {
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
#if defined(SIGBREAK)
    std::signal(SIGBREAK, onInterrupt);  // Ctrl-Break on Windows
#endif
}

bool interrupted() {
    return interruptFlag.load();
}
void requestInterrupt() {
    interruptFlag.store(true);
}
void clearInterrupt() {
    interruptFlag.store(false);
}

}  // namespace tarvex_tool
