#include "bulk_pipe.h"

#include <cstring>

namespace tarvex::sim {

uint32_t BulkPipe::write(const uint8_t* data, uint32_t length) {
    compact();
    uint32_t room = CAPACITY - waiting();
    uint32_t accepted = length < room ? length : room;
    bytes_.insert(bytes_.end(), data, data + accepted);
    return accepted;
}

uint32_t BulkPipe::read(uint8_t* out, uint32_t length) {
    uint32_t moved = peek(0, out, length);
    head_ += moved;
    if (head_ == bytes_.size()) {
        bytes_.clear();
        head_ = 0;
    }
    return moved;
}

uint32_t BulkPipe::peek(uint32_t offset, uint8_t* out, uint32_t length) const {
    uint32_t available = waiting();
    if (offset >= available) return 0;
    uint32_t moved = available - offset < length ? available - offset : length;
    if (moved != 0) std::memcpy(out, bytes_.data() + head_ + offset, moved);
    return moved;
}

uint32_t BulkPipe::poke(uint32_t offset, const uint8_t* data, uint32_t length) {
    compact();
    uint32_t available = waiting();
    if (offset > available || offset >= CAPACITY) return 0;
    uint32_t room = CAPACITY - offset;
    uint32_t moved = length < room ? length : room;
    if (offset + moved > available) bytes_.resize(offset + moved);
    if (moved != 0) std::memcpy(bytes_.data() + offset, data, moved);
    return moved;
}

void BulkPipe::compact() {
    if (head_ == 0) return;
    bytes_.erase(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(head_));
    head_ = 0;
}

}  // namespace tarvex::sim
