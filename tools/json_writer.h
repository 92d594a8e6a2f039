// A small writer of compact JSON for --json: objects, arrays, strings
// (escaped), integers, numbers and booleans, with the commas placed for the
// caller. Output only; the tool never reads JSON.
#pragma once

#include <cstdint>
#include <ostream>
#include <string_view>
#include <vector>

namespace tarvex_tool {

class JsonWriter {
public:
    explicit JsonWriter(std::ostream& out) : out_(out) {}

    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    JsonWriter& key(std::string_view name);

    JsonWriter& value(std::string_view text);
    JsonWriter& value(const char* text) { return value(std::string_view(text)); }
    JsonWriter& value(int64_t number);
    JsonWriter& value(int32_t number) { return value(static_cast<int64_t>(number)); }
    JsonWriter& value(uint32_t number) { return value(static_cast<int64_t>(number)); }
    JsonWriter& value(double number);
    JsonWriter& value(bool flag);
    JsonWriter& null();

    // Ends the document with a newline.
    void finish();

private:
    void beforeValue();

    std::ostream& out_;
    // One entry per open container: true once it holds an element.
    std::vector<bool> hasElements_;
    bool afterKey_ = false;
};

}  // namespace tarvex_tool
