// Firmware and EEPROM images as files: a flat binary, loaded as it is, or an
// Intel HEX file (the way controller firmware is usually shipped), turned into
// the flat image that loads from address 0 upward.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvex_tool {

enum class ImageFileFormat { Auto, Binary, IntelHex };

struct LoadedImage {
    std::vector<uint8_t> bytes;
    ImageFileFormat format = ImageFileFormat::Binary;
    uint32_t dataBytes = 0;  // bytes the file gave (a HEX file's gaps are not counted)
};

// Reads `path`. Auto takes Intel HEX for the extensions .hex, .ihx and .ihex,
// or for a file whose first non-blank character is ':'. The image may be at
// most `limit` bytes. Throws UsageError (the file is the argument at fault).
LoadedImage loadImageFile(const std::string& path, ImageFileFormat format, uint32_t limit);

// Intel HEX text to a flat image from address 0: data records (00), end of
// file (01), extended segment (02) and linear (04) addresses; start address
// records (03, 05) are accepted and have no effect. Every record's checksum
// is checked. Bytes the file does not give are 0x00. Throws
// std::invalid_argument naming the line.
LoadedImage parseIntelHex(std::string_view text, uint32_t limit);

}  // namespace tarvex_tool
