// How a command gives up. Every failure is an exception caught once, at the
// top of the tool, which prints it and chooses the exit status; the camera
// and stream guards unwind on the way, so nothing is left open or streaming.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace tarvex_tool {

// Exit statuses of the tool.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;         // a camera call or a file failed
constexpr int kExitUsage = 2;          // bad arguments: no camera was touched
constexpr int kExitInterrupted = 130;  // Ctrl-C, as shells report SIGINT

// A bad argument, found before any camera is opened.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// An exported function returned a failure code.
class CameraCallFailed : public std::runtime_error {
public:
    CameraCallFailed(std::string function, int32_t code);
    const std::string& function() const { return function_; }
    int32_t code() const { return code_; }

private:
    std::string function_;
    int32_t code_;
};

// Anything else that stops a command (a file that cannot be written, a short frame).
class ToolFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Ctrl-C arrived while a command ran.
class Interrupted : public std::runtime_error {
public:
    Interrupted() : std::runtime_error("interrupted") {}
};

// Throws CameraCallFailed unless `code` is 0.
void check(const char* function, int32_t code);

}  // namespace tarvex_tool
