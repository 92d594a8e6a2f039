// The calling thread's last system error, as each thread has its own on Windows.
#include "platform/win32.h"

namespace {
constinit thread_local DWORD lastError = ERROR_SUCCESS;
}

extern "C" DWORD GetLastError() {
    return lastError;
}

extern "C" void SetLastError(DWORD error) {
    lastError = error;
}
