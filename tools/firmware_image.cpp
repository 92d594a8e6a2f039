#include "firmware_image.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "failures.h"

namespace tarvex_tool {

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::invalid_argument lineError(size_t line, const std::string& why) {
    return std::invalid_argument("line " + std::to_string(line) + ": " + why);
}

std::string lowerExtension(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    std::string extension = path.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

bool looksLikeIntelHex(const std::string& path, const std::string& content) {
    std::string extension = lowerExtension(path);
    if (extension == ".hex" || extension == ".ihx" || extension == ".ihex") return true;
    size_t first = content.find_first_not_of(" \t\r\n");
    return first != std::string::npos && content[first] == ':';
}

}  // namespace

LoadedImage parseIntelHex(std::string_view text, uint32_t limit) {
    LoadedImage image;
    image.format = ImageFileFormat::IntelHex;
    uint64_t base = 0;
    bool ended = false;
    size_t lineNumber = 0;
    size_t position = 0;
    while (position < text.size()) {
        size_t end = text.find('\n', position);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(position, end - position);
        position = end + 1;
        ++lineNumber;
        while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) line.remove_suffix(1);
        while (!line.empty() && std::isspace(static_cast<unsigned char>(line.front()))) line.remove_prefix(1);
        if (line.empty()) continue;
        if (ended) throw lineError(lineNumber, "a record after the end-of-file record");
        if (line[0] != ':') throw lineError(lineNumber, "a record starts with ':'");
        if (line.size() < 11 || (line.size() - 1) % 2 != 0)
            throw lineError(lineNumber, "a record is ':' and an even number of hex digits, at least 10");

        std::vector<uint8_t> bytes;
        for (size_t i = 1; i < line.size(); i += 2) {
            int high = hexDigit(line[i]), low = hexDigit(line[i + 1]);
            if (high < 0 || low < 0) throw lineError(lineNumber, "not a hex digit");
            bytes.push_back(static_cast<uint8_t>(high * 16 + low));
        }
        uint8_t count = bytes[0];
        if (bytes.size() != static_cast<size_t>(count) + 5u)
            throw lineError(lineNumber, "the record's length does not match its byte count");
        uint8_t sum = 0;
        for (uint8_t byte : bytes) sum = static_cast<uint8_t>(sum + byte);
        if (sum != 0) throw lineError(lineNumber, "checksum mismatch");

        uint32_t offset = static_cast<uint32_t>(bytes[1]) << 8 | bytes[2];
        uint8_t type = bytes[3];
        const uint8_t* data = bytes.data() + 4;
        switch (type) {
            case 0x00: {
                uint64_t address = base + offset;
                if (address + count > limit)
                    throw lineError(lineNumber,
                                    "data beyond the image's " + std::to_string(limit) + " bytes");
                if (image.bytes.size() < address + count) image.bytes.resize(address + count, 0x00);
                std::copy(data, data + count, image.bytes.begin() + static_cast<std::ptrdiff_t>(address));
                image.dataBytes += count;
                break;
            }
            case 0x01:
                ended = true;
                break;
            case 0x02:
                if (count != 2) throw lineError(lineNumber, "an extended segment address has 2 bytes");
                base = (static_cast<uint64_t>(data[0]) << 8 | data[1]) << 4;
                break;
            case 0x04:
                if (count != 2) throw lineError(lineNumber, "an extended linear address has 2 bytes");
                base = (static_cast<uint64_t>(data[0]) << 8 | data[1]) << 16;
                break;
            case 0x03:
            case 0x05:
                break;
            default:
                throw lineError(lineNumber, "unknown record type " + std::to_string(type));
        }
    }
    if (!ended) throw std::invalid_argument("no end-of-file record (:00000001FF)");
    return image;
}

LoadedImage loadImageFile(const std::string& path, ImageFileFormat format, uint32_t limit) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw UsageError("cannot read " + path);
    std::string content((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad()) throw UsageError("cannot read " + path);

    if (format == ImageFileFormat::Auto)
        format = looksLikeIntelHex(path, content) ? ImageFileFormat::IntelHex : ImageFileFormat::Binary;

    LoadedImage image;
    if (format == ImageFileFormat::IntelHex) {
        try {
            image = parseIntelHex(content, limit);
        } catch (const std::invalid_argument& error) {
            throw UsageError(path + ": not a valid Intel HEX file: " + error.what());
        }
    } else {
        if (content.size() > limit)
            throw UsageError(path + ": " + std::to_string(content.size()) + " bytes, more than the " +
                             std::to_string(limit) + " the image can hold");
        image.bytes.assign(content.begin(), content.end());
        image.format = ImageFileFormat::Binary;
        image.dataBytes = static_cast<uint32_t>(content.size());
    }
    if (image.bytes.empty()) throw UsageError(path + ": the image is empty");
    return image;
}

}  // namespace tarvex_tool
