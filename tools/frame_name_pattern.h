// File names for the frames that `stream --save` keeps: a pattern with one
// number field, "frame-####.png" or "frame-%04d.png" (a run of '#' or a
// printf-style %d / %0Nd), filled with the frame's number. A pattern without
// a field gets "-000001" before its extension. The pattern is parsed here,
// never handed to printf.
#pragma once

#include <cstdint>
#include <string>

namespace tarvex_tool {

class FrameNamePattern {
public:
    // Throws UsageError for a pattern with more than one field, a broken %
    // sequence, or no .png / .pgm extension.
    explicit FrameNamePattern(const std::string& pattern);

    std::string name(uint64_t number) const;

private:
    std::string before_;
    std::string after_;
    int width_ = 0;
};

}  // namespace tarvex_tool
