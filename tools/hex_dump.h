// The classic hex dump: address, sixteen bytes, and the printable characters.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>

namespace tarvex_tool {

// Lines start at `address`, the device address of bytes[0].
void writeHexDump(std::ostream& out, uint32_t address, const uint8_t* bytes, size_t count);

}  // namespace tarvex_tool
