#include "camera_description.h"

#include <cstring>

#include "tarvex_sim.h"

namespace tarvex::sim {

namespace {

struct Text {
    const char* data;
    uint32_t length;

    bool equals(const char* word) const {
        uint32_t wordLength = static_cast<uint32_t>(std::strlen(word));
        return wordLength == length && std::memcmp(data, word, length) == 0;
    }
    // Splits at the first `separator`: this keeps the head, the tail is returned.
    Text splitAt(char separator, bool* found) {
        for (uint32_t i = 0; i < length; ++i) {
            if (data[i] != separator) continue;
            Text tail{data + i + 1, length - i - 1};
            length = i;
            *found = true;
            return tail;
        }
        *found = false;
        return Text{data + length, 0};
    }
};

bool parseNumber(Text text, uint32_t max, uint32_t* value) {
    uint32_t base = 10;
    uint32_t i = 0;
    if (text.length > 2 && text.data[0] == '0' && (text.data[1] == 'x' || text.data[1] == 'X')) {
        base = 16;
        i = 2;
    }
    if (i == text.length) return false;
    uint64_t result = 0;
    for (; i < text.length; ++i) {
        char c = text.data[i];
        uint32_t digit;
        if (c >= '0' && c <= '9') {
            digit = static_cast<uint32_t>(c - '0');
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = static_cast<uint32_t>(c - 'a' + 10);
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = static_cast<uint32_t>(c - 'A' + 10);
        } else {
            return false;
        }
        result = result * base + digit;
        if (result > max) return false;
    }
    *value = static_cast<uint32_t>(result);
    return true;
}

bool copyText(Text text, char* out, uint32_t* length) {
    if (text.length > MAX_STRING_UNITS) return false;
    std::memcpy(out, text.data, text.length);
    out[text.length] = 0;
    *length = text.length;
    return true;
}

bool parseOption(Text option, CameraDescription& description) {
    bool found;
    Text value = option.splitAt('=', &found);
    if (!found) return false;
    uint32_t number;
    if (option.equals("model")) {
        description.hasModel = true;
        return copyText(value, description.model, &description.modelLength);
    }
    if (option.equals("serial")) {
        description.hasSerial = true;
        return copyText(value, description.serial, &description.serialLength) &&
               value.length + sizeof DEFAULT_MODEL_PREFIX - 1 <= MAX_STRING_UNITS;
    }
    if (option.equals("release")) {
        if (!parseNumber(value, 0xFFFF, &number)) return false;
        description.release = static_cast<uint16_t>(number);
        return true;
    }
    if (option.equals("number")) {
        if (!parseNumber(value, MAX_NUMBER, &number) || number == 0) return false;
        description.number = number;
        return true;
    }
    if (option.equals("paced")) {
        if (!parseNumber(value, 1, &number)) return false;
        description.paced = static_cast<int32_t>(number);
        return true;
    }
    if (option.equals("inputs")) {
        if (!parseNumber(value, 0xFF, &number)) return false;
        description.inputs = static_cast<int32_t>(number);
        return true;
    }
    return false;
}

// The options after an identification (or a count).
bool parseOptions(Text rest, bool any, CameraDescription& description) {
    while (any) {
        Text option = rest;
        rest = option.splitAt(':', &any);
        if (!parseOption(option, description)) return false;
    }
    return true;
}

bool isCount(Text text) {
    if (text.length == 0) return false;
    for (uint32_t i = 0; i < text.length; ++i) {
        if (text.data[i] < '0' || text.data[i] > '9') return false;
    }
    return true;
}

}  // namespace

int32_t parseCameraDescription(const char* text, uint32_t length, CameraDescription& description) {
    description = CameraDescription{};
    Text ident{text, length};
    bool any;
    Text rest = ident.splitAt(':', &any);
    if (ident.length == 0) return TARVEX_SIM_EINVAL;
    for (uint32_t i = 0; i < ident.length; ++i) {
        if (ident.data[i] == ',' || ident.data[i] == 0) return TARVEX_SIM_EINVAL;
    }
    if (ident.equals("1")) {
        ident = Text{DEFAULT_IDENT_VARIANT_1, sizeof DEFAULT_IDENT_VARIANT_1 - 1};
    } else if (ident.equals("2")) {
        ident = Text{DEFAULT_IDENT_VARIANT_2, sizeof DEFAULT_IDENT_VARIANT_2 - 1};
    }
    if (!copyText(ident, description.ident, &description.identLength)) return TARVEX_SIM_EINVAL;
    return parseOptions(rest, any, description) ? 0 : TARVEX_SIM_EINVAL;
}

int32_t parseCameraList(const char* text, uint32_t length, CameraList& list) {
    list.count = 0;
    if (length == 0) return 0;  // an empty list attaches no camera
    Text whole{text, length};
    bool hasComma = false;
    for (uint32_t i = 0; i < length; ++i) hasComma = hasComma || text[i] == ',';
    if (!hasComma) {
        Text head = whole;
        bool any;
        Text rest = head.splitAt(':', &any);
        if (isCount(head)) {
            uint32_t count;
            if (!parseNumber(head, 1000000, &count)) return TARVEX_SIM_ENOSPACE;
            CameraDescription description;
            if (parseCameraDescription("2", 1, description) != 0 || !parseOptions(rest, any, description)) {
                return TARVEX_SIM_EINVAL;
            }
            if (count > MAX_CAMERAS) return TARVEX_SIM_ENOSPACE;
            if (description.number != 0 && description.number + count - 1 > MAX_NUMBER)
                return TARVEX_SIM_EINVAL;
            for (uint32_t i = 0; i < count; ++i) {
                list.specs[i] = description;
                // number=K numbers the cameras K, K+1, ...
                if (description.number != 0) list.specs[i].number = description.number + i;
            }
            list.count = count;
            return 0;
        }
    }
    bool more = true;
    while (more) {
        Text item = whole;
        whole = item.splitAt(',', &more);
        if (list.count == MAX_CAMERAS) return TARVEX_SIM_ENOSPACE;
        int32_t result = parseCameraDescription(item.data, item.length, list.specs[list.count]);
        if (result != 0) return result;
        ++list.count;
    }
    return 0;
}

uint32_t formatDecimal(uint32_t value, uint32_t digits, char* out) {
    char reversed[10];
    uint32_t length = 0;
    do {
        reversed[length++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    uint32_t written = 0;
    for (uint32_t i = length; i < digits; ++i) out[written++] = '0';
    while (length != 0) out[written++] = reversed[--length];
    return written;
}

uint32_t composeModel(const CameraDescription& description, uint32_t number, char* out, uint32_t capacity) {
    if (description.hasModel) {
        uint32_t length = description.modelLength < capacity ? description.modelLength : capacity;
        std::memcpy(out, description.model, length);
        return length;
    }
    char text[sizeof DEFAULT_MODEL_PREFIX + MAX_STRING_UNITS + 10];
    uint32_t length = sizeof DEFAULT_MODEL_PREFIX - 1;
    std::memcpy(text, DEFAULT_MODEL_PREFIX, length);
    if (description.hasSerial) {
        std::memcpy(text + length, description.serial, description.serialLength);
        length += description.serialLength;
    } else {
        length += formatDecimal(number, 4, text + length);
    }
    if (length > capacity) length = capacity;
    std::memcpy(out, text, length);
    return length;
}

}  // namespace tarvex::sim
