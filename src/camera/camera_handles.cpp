// The handles BeginTarvex handed out and EndTarvex has not closed yet. The
// handle discipline consults this record before it locks anything, because
// the system's GlobalLock cannot tell a handle from any readable address.
#include <algorithm>
#include <mutex>
#include <vector>

#include "camera/locked_camera.h"

namespace tarvex {

namespace {

struct LiveHandles {
    std::mutex mutex;
    std::vector<CameraHandle> handles;
};

LiveHandles& liveHandles() {
    static LiveHandles live;
    return live;
}

}  // namespace

void registerCameraHandle(CameraHandle handle) {
    LiveHandles& live = liveHandles();
    std::lock_guard<std::mutex> guard(live.mutex);
    live.handles.push_back(handle);
}

void unregisterCameraHandle(CameraHandle handle) {
    LiveHandles& live = liveHandles();
    std::lock_guard<std::mutex> guard(live.mutex);
    std::erase(live.handles, handle);
}

bool isLiveCameraHandle(CameraHandle handle) {
    if (handle == nullptr) return false;
    LiveHandles& live = liveHandles();
    std::lock_guard<std::mutex> guard(live.mutex);
    return std::find(live.handles.begin(), live.handles.end(), handle) != live.handles.end();
}

}  // namespace tarvex
