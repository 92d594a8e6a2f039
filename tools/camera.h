// An open camera and a running stream, each closed by its destructor, so that
// a command that fails half-way (or is interrupted) leaves the camera at rest.
#pragma once

#include <cstdint>

#include "tarvex.h"

namespace tarvex_tool {

class Camera {
public:
    // Opens camera `index` (1-based). Throws CameraCallFailed.
    explicit Camera(int32_t index);
    ~Camera();
    Camera(const Camera&) = delete;
    Camera& operator=(const Camera&) = delete;

    CameraHandle handle() const { return handle_; }
    int32_t index() const { return index_; }

    // Closes now and reports a failure (the destructor cannot).
    void close();

private:
    CameraHandle handle_ = nullptr;
    int32_t index_;
};

class Stream {
public:
    // Starts the stream. When the start fails, the stop sequence is still run
    // (the start's steps were all sent, so the camera may be half armed) and
    // CameraCallFailed is thrown.
    explicit Stream(CameraHandle camera);
    ~Stream();
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;

    // Stops now and reports a failure (the destructor cannot).
    void stop();

private:
    CameraHandle camera_;
    bool running_ = false;
};

}  // namespace tarvex_tool
