// Holds a critical section for the lifetime of a scope.
#pragma once

#include "platform/win32.h"

namespace tarvex {

class SectionGuard {
public:
    explicit SectionGuard(CRITICAL_SECTION* section) : section_(section) { EnterCriticalSection(section_); }
    ~SectionGuard() { LeaveCriticalSection(section_); }
    SectionGuard(const SectionGuard&) = delete;
    SectionGuard& operator=(const SectionGuard&) = delete;

private:
    CRITICAL_SECTION* section_;
};

}  // namespace tarvex
