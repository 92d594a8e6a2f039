#include "json_writer.h"

#include <cmath>
#include <cstdio>

namespace tarvex_tool {

void JsonWriter::beforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!hasElements_.empty()) {
        if (hasElements_.back()) out_ << ',';
        hasElements_.back() = true;
    }
}

JsonWriter& JsonWriter::beginObject() {
    beforeValue();
    out_ << '{';
    hasElements_.push_back(false);
    return *this;
}

JsonWriter& JsonWriter::endObject() {
    out_ << '}';
    hasElements_.pop_back();
    return *this;
}

JsonWriter& JsonWriter::beginArray() {
    beforeValue();
    out_ << '[';
    hasElements_.push_back(false);
    return *this;
}

JsonWriter& JsonWriter::endArray() {
    out_ << ']';
    hasElements_.pop_back();
    return *this;
}

JsonWriter& JsonWriter::key(std::string_view name) {
    value(name);
    out_ << ':';
    afterKey_ = true;
    return *this;
}

JsonWriter& JsonWriter::value(std::string_view text) {
    beforeValue();
    out_ << '"';
    for (char c : text) {
        unsigned char byte = static_cast<unsigned char>(c);
        switch (c) {
            case '"':
                out_ << "\\\"";
                break;
            case '\\':
                out_ << "\\\\";
                break;
            case '\n':
                out_ << "\\n";
                break;
            case '\r':
                out_ << "\\r";
                break;
            case '\t':
                out_ << "\\t";
                break;
            default:
                if (byte < 0x20 || byte >= 0x7F) {
                    // Camera strings are 8-bit characters, not UTF-8: each byte
                    // becomes the code point of the same number.
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
                    out_ << escaped;
                } else {
                    out_ << c;
                }
        }
    }
    out_ << '"';
    return *this;
}

JsonWriter& JsonWriter::value(int64_t number) {
    beforeValue();
    out_ << number;
    return *this;
}

JsonWriter& JsonWriter::value(double number) {
    beforeValue();
    if (!std::isfinite(number)) {
        out_ << "null";
        return *this;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", number);
    out_ << text;
    return *this;
}

JsonWriter& JsonWriter::value(bool flag) {
    beforeValue();
    out_ << (flag ? "true" : "false");
    return *this;
}

JsonWriter& JsonWriter::null() {
    beforeValue();
    out_ << "null";
    return *this;
}

void JsonWriter::finish() {
    out_ << '\n';
}

}  // namespace tarvex_tool
