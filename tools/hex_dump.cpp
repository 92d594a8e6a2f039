#include "hex_dump.h"

#include <cstdio>
#include <string>

namespace tarvex_tool {

void writeHexDump(std::ostream& out, uint32_t address, const uint8_t* bytes, size_t count) {
    constexpr size_t kPerLine = 16;
    for (size_t line = 0; line < count; line += kPerLine) {
        char text[96];
        int used = std::snprintf(text, sizeof text, "%04X ", static_cast<unsigned>(address + line));
        std::string characters;
        for (size_t i = 0; i < kPerLine; ++i) {
            if (i == 8) text[used++] = ' ';
            if (line + i < count) {
                uint8_t byte = bytes[line + i];
                used += std::snprintf(text + used, sizeof text - used, " %02X", byte);
                characters += (byte >= 0x20 && byte < 0x7F) ? static_cast<char>(byte) : '.';
            } else {
                used += std::snprintf(text + used, sizeof text - used, "   ");
            }
        }
        out << text << "  |" << characters << "|\n";
    }
}

}  // namespace tarvex_tool
