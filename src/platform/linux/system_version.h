// The system version that GetVersion reports.
#pragma once

#include <cstdint>
#include <optional>

namespace tarvex::platform {

// A current NT version (6.2 numbering, build 9200).
inline constexpr uint32_t kDefaultSystemVersion = 0x23F00206u;

// Reads a TARVEX_SYSTEM_VERSION value: a decimal or 0x-prefixed hexadecimal
// number, or one of the names "nt40", "win95", "win7" (any case). Nothing
// for anything else, including a number that does not fit 32 bits.
std::optional<uint32_t> parseSystemVersion(const char* text);

}  // namespace tarvex::platform
