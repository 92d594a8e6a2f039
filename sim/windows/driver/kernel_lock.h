// A lock over a kernel mutex, for std::lock_guard. The system's device host
// hands a driver one request at a time, but timer routines and the unload
// routine run beside it.
#pragma once

#include "kernel.h"

namespace tarvex::kernel {

class KernelLock {
public:
    KernelLock() { KeInitializeMutex(&mutex_, 0); }
    KernelLock(const KernelLock&) = delete;
    KernelLock& operator=(const KernelLock&) = delete;

    void lock() { KeWaitForSingleObject(&mutex_, Executive, KernelMode, FALSE, nullptr); }
    void unlock() { KeReleaseMutex(&mutex_, FALSE); }

private:
    KMUTEX mutex_;
};

}  // namespace tarvex::kernel
