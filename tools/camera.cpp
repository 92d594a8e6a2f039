#include "camera.h"

#include "failures.h"

namespace tarvex_tool {

Camera::Camera(int32_t index) : index_(index) {
    CameraHandle handle = nullptr;
    check("BeginTarvex", BeginTarvex(index, &handle));
    handle_ = handle;
}

Camera::~Camera() {
    if (handle_ != nullptr) EndTarvex(handle_);
}

void Camera::close() {
    CameraHandle handle = handle_;
    handle_ = nullptr;
    if (handle != nullptr) check("EndTarvex", EndTarvex(handle));
}

Stream::Stream(CameraHandle camera) : camera_(camera) {
    ApiStatus started = TarvexStartSnap(camera);
    if (started != 0) {
        TarvexStopSnap(camera);
        throw CameraCallFailed("TarvexStartSnap", started);
    }
    running_ = true;
}

Stream::~Stream() {
    if (running_) TarvexStopSnap(camera_);
}

void Stream::stop() {
    if (!running_) return;
    running_ = false;
    check("TarvexStopSnap", TarvexStopSnap(camera_));
}

}  // namespace tarvex_tool
