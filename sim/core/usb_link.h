// The USB 2.0 link a frame travels over: about 40 MB/s of payload, so a full
// 1280 x 1024 frame takes 32.768 ms (about 30 frames a second).
#pragma once

#include <cstdint>

namespace tarvex::sim {

inline constexpr uint64_t LINK_BYTES_PER_SECOND = 40'000'000;
inline constexpr uint32_t FULL_FRAME_BYTES = 1280u * 1024u;

// Microseconds a frame of `bytes` takes on the link.
inline constexpr uint64_t linkTimeUs(uint64_t bytes) {
    return bytes * 1'000'000u / LINK_BYTES_PER_SECOND;
}

}  // namespace tarvex::sim
