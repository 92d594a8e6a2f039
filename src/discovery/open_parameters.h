// How every probe and every open of a camera's device name is made.
#pragma once

#include "platform/win32.h"

namespace tarvex {

inline HANDLE openDevicePath(const char* path) {
    return CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
}

}  // namespace tarvex
