// Bulk pipe 1: what code 329 writes, code 326 reads back in order. A read of
// more than is waiting returns what there is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tarvex::sim {

class BulkPipe {
public:
    // The controller's buffer holds at most this much unread data.
    static constexpr uint32_t CAPACITY = 4u << 20;

    // Returns the bytes accepted.
    uint32_t write(const uint8_t* data, uint32_t length);
    // Returns the bytes read.
    uint32_t read(uint8_t* out, uint32_t length);

    uint32_t waiting() const { return static_cast<uint32_t>(bytes_.size() - head_); }
    // Unread bytes from `offset` on, without consuming them.
    uint32_t peek(uint32_t offset, uint8_t* out, uint32_t length) const;
    // Replaces unread bytes from `offset` (at most the end) on.
    uint32_t poke(uint32_t offset, const uint8_t* data, uint32_t length);

private:
    void compact();

    std::vector<uint8_t> bytes_;
    size_t head_ = 0;
};

}  // namespace tarvex::sim
