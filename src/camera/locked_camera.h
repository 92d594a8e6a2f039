// The handle discipline of every export that takes a CameraHandle: lock the
// block behind the handle, work on its CameraState, unlock on every path.
//
//   LockedCamera camera(handle);
//   if (!camera) return ERR_INVALID_HANDLE;
//   ... camera->device ...
//
// Only handles that BeginTarvex handed out and EndTarvex has not closed are
// locked at all: anything else (0, a closed handle, the address of some
// buffer) is refused without being touched.
#pragma once

#include "camera/camera_state.h"
#include "tarvex.h"

namespace tarvex {

class LockedCamera {
public:
    explicit LockedCamera(CameraHandle handle);
    ~LockedCamera();
    LockedCamera(const LockedCamera&) = delete;
    LockedCamera& operator=(const LockedCamera&) = delete;

    explicit operator bool() const { return state_ != nullptr; }
    CameraState* operator->() const { return state_; }
    CameraState& operator*() const { return *state_; }

private:
    HGLOBAL block_;
    CameraState* state_;
};

// The record of live handles that LockedCamera consults.
void registerCameraHandle(CameraHandle handle);
void unregisterCameraHandle(CameraHandle handle);
bool isLiveCameraHandle(CameraHandle handle);

}  // namespace tarvex
