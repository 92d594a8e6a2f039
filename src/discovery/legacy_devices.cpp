#include "discovery/legacy_devices.h"

#include <cstdint>
#include <cstdio>

#include "discovery/open_parameters.h"

namespace tarvex {

HANDLE openLegacyDevice(const char* baseName, int32_t number) {
    char name[128];
    int length = std::snprintf(name, sizeof name, "%s%d", baseName, static_cast<int>(number));
    if (length < 0 || static_cast<size_t>(length) >= sizeof name) return INVALID_HANDLE_VALUE;
    return openDevicePath(name);
}

int32_t countLegacyDevices(const char* baseName) {
    // The first missing number ends the count: cameras 1 and 3 without 2 count as 1.
    for (int32_t number = 1; number < INT32_MAX; ++number) {
        HANDLE probe = openLegacyDevice(baseName, number);
        if (probe == INVALID_HANDLE_VALUE) return number - 1;
        CloseHandle(probe);
    }
    return INT32_MAX - 1;
}

}  // namespace tarvex
