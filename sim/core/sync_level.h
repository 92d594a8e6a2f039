// The frame-sync level read from bulk pipe 0: high while the sensor reads a
// frame out, low during the blanking that follows, with the period of one
// frame on the link; or, scripted, a given sequence of levels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tarvex::sim {

class SyncLevel {
public:
    static constexpr int64_t FOLLOWS_FRAMES = 0;
    static constexpr int64_t SCRIPTED = 1;
    static constexpr uint32_t MAX_SCRIPT = 4096;

    int64_t mode() const { return mode_; }
    bool setMode(int64_t mode) {
        if (mode != FOLLOWS_FRAMES && mode != SCRIPTED) return false;
        mode_ = mode;
        return true;
    }

    // levels[i] answers the i-th read from now; the last one then holds.
    void script(const uint8_t* levels, uint32_t count) {
        script_.assign(levels, levels + count);
        next_ = 0;
        mode_ = SCRIPTED;
    }

    // The level at `nowUs` for frames of `frameBytes` timed from `originUs`.
    uint8_t read(uint64_t nowUs, uint64_t originUs, uint32_t frameBytes);

private:
    int64_t mode_ = FOLLOWS_FRAMES;
    std::vector<uint8_t> script_;
    size_t next_ = 0;
    uint8_t held_ = 0;
};

}  // namespace tarvex::sim
