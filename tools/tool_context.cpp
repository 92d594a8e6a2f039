#include "tool_context.h"

#include "tarvex.h"

namespace tarvex_tool {

int32_t ToolContext::countCameras() {
    if (simSpec && !simAttached_) {
        simAttached_ = true;
        simulated_.attach(*simSpec);
    }
    cameraCount_ = TarvexGetDeviceNumber();
    return cameraCount_;
}

int32_t ToolContext::cameraToOpen() {
    countCameras();
    return cameraIndex;
}

}  // namespace tarvex_tool
