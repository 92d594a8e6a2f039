// What a stream run counts: frames, bytes, failed transfers by their status,
// and the rates over the time it ran.
#pragma once

#include <cstdint>
#include <map>

namespace tarvex_tool {

struct StreamStatistics {
    uint64_t transfers = 0;                // transfers asked for
    uint64_t frames = 0;                   // complete frames
    uint64_t shortFrames = 0;              // frames with fewer bytes than the window
    uint64_t bytes = 0;                    // bytes delivered, short frames included
    std::map<int32_t, uint64_t> failures;  // failed transfers by result
    double seconds = 0;

    uint64_t failed() const;
    double framesPerSecond() const { return seconds > 0 ? static_cast<double>(frames) / seconds : 0; }
    double megabytesPerSecond() const { return seconds > 0 ? static_cast<double>(bytes) / 1e6 / seconds : 0; }
};

}  // namespace tarvex_tool
