#include "info/descriptor_string.h"

#include "transport/driver_call.h"
#include "transport/driver_codes.h"

namespace tarvex {

ApiStatus readDescriptorString(HANDLE device, uint8_t descriptorIndex, uint32_t count, char* characters) {
    if (count > MAX_DESCRIPTOR_CHARACTERS) return ERR_OUT_OF_RANGE;

    // String index, a reserved byte, then the language identifier (little-endian).
    const uint8_t query[4] = {descriptorIndex, 0, driver::STRING_LANGUAGE & 0xFF,
                              driver::STRING_LANGUAGE >> 8};
    // The descriptor's length and type bytes, then UTF-16LE code units.
    uint8_t response[2 + 2 * MAX_DESCRIPTOR_CHARACTERS];
    const DWORD responseSize = 2 + 2 * count;
    if (!callDriverExact(device, driver::GET_STRING_DESCRIPTOR, query, sizeof query, response,
                         responseSize)) {
        return ERR_DRIVER_CALL;
    }
    // Only the low byte of each code unit is kept: the identity strings are ASCII.
    for (uint32_t i = 0; i < count; ++i) characters[i] = static_cast<char>(response[2 + 2 * i]);
    return 0;
}

}  // namespace tarvex
