#include "camera/locked_camera.h"

namespace tarvex {

LockedCamera::LockedCamera(CameraHandle handle) : block_(nullptr), state_(nullptr) {
    if (!isLiveCameraHandle(handle)) return;
    void* address = GlobalLock(static_cast<HGLOBAL>(handle));
    if (address == nullptr) return;
    block_ = static_cast<HGLOBAL>(handle);
    state_ = static_cast<CameraState*>(address);
}

LockedCamera::~LockedCamera() {
    if (state_ != nullptr) GlobalUnlock(block_);
}

}  // namespace tarvex
