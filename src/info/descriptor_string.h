// The identity strings of a camera, read from its USB string descriptors.
#pragma once

#include <cstdint>

#include "platform/win32.h"
#include "tarvex.h"

namespace tarvex {

// The longest string the information queries ask for (descriptor 2).
inline constexpr uint32_t MAX_DESCRIPTOR_CHARACTERS = 12;

// Reads the first `count` characters (at most MAX_DESCRIPTOR_CHARACTERS) of
// USB string descriptor `descriptorIndex` and stores the low byte of each
// UTF-16 code unit in `characters`, not terminated. The driver must return
// exactly the descriptor's 2 header bytes and `count` code units: anything
// else, a shorter string included, gives ERR_DRIVER_CALL with `characters`
// untouched.
ApiStatus readDescriptorString(HANDLE device, uint8_t descriptorIndex, uint32_t count, char* characters);

}  // namespace tarvex
