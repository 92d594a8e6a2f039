// What every command shares: the output streams, the global options, and the
// simulated cameras of --sim, attached at the first moment a command needs a
// camera (after its own arguments were checked, so a bad argument never
// reaches one).
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

#include "simulated_cameras.h"

namespace tarvex_tool {

class ToolContext {
public:
    ToolContext(std::ostream& out, std::ostream& err) : out(out), err(err) {}

    std::ostream& out;
    std::ostream& err;

    // Global options.
    int32_t cameraIndex = 1;
    std::optional<std::string> simSpec;  // --sim given: its description ("1" without one)
    bool progressOnTerminal = false;     // err is a terminal: progress lines redraw in place

    // Attaches the --sim cameras (once) and counts the cameras.
    int32_t countCameras();

    // countCameras(), then the index of the camera to open (--camera).
    int32_t cameraToOpen();

    // The count of the last countCameras().
    int32_t cameraCount() const { return cameraCount_; }

private:
    SimulatedCameras simulated_;
    bool simAttached_ = false;
    int32_t cameraCount_ = 0;
};

}  // namespace tarvex_tool
