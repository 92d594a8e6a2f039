#include "stream_statistics.h"

namespace tarvex_tool {

uint64_t StreamStatistics::failed() const {
    uint64_t count = 0;
    for (const auto& [status, times] : failures) count += times;
    return count;
}

}  // namespace tarvex_tool
