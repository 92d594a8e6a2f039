#include "frame_name_pattern.h"

#include "failures.h"
#include "image_file.h"

namespace tarvex_tool {

namespace {

constexpr int kDefaultWidth = 6;
constexpr int kWidestField = 20;

UsageError badPattern(const std::string& pattern, const std::string& why) {
    return UsageError("--save '" + pattern + "': " + why);
}

}  // namespace

FrameNamePattern::FrameNamePattern(const std::string& pattern) {
    imageFormatOf(pattern, "--save");  // throws for an extension other than .png / .pgm

    std::string before, after;
    bool found = false;
    int width = 0;
    for (size_t i = 0; i < pattern.size();) {
        std::string& part = found ? after : before;
        char c = pattern[i];
        if (c == '#') {
            if (found) throw badPattern(pattern, "more than one number field");
            size_t end = pattern.find_first_not_of('#', i);
            if (end == std::string::npos) end = pattern.size();
            width = static_cast<int>(end - i);
            found = true;
            i = end;
        } else if (c == '%') {
            if (i + 1 < pattern.size() && pattern[i + 1] == '%') {
                part += '%';
                i += 2;
                continue;
            }
            size_t j = i + 1;
            int fieldWidth = 0;
            bool zeroPadded = j < pattern.size() && pattern[j] == '0';
            if (zeroPadded) ++j;
            while (j < pattern.size() && pattern[j] >= '0' && pattern[j] <= '9') {
                fieldWidth = fieldWidth * 10 + (pattern[j] - '0');
                if (fieldWidth > kWidestField) throw badPattern(pattern, "the number field is too wide");
                ++j;
            }
            if (j >= pattern.size() || pattern[j] != 'd' || (fieldWidth != 0 && !zeroPadded))
                throw badPattern(pattern, "use %d or %0Nd for the frame number (%% for a percent sign)");
            if (found) throw badPattern(pattern, "more than one number field");
            width = fieldWidth;
            found = true;
            i = j + 1;
        } else {
            part += c;
            ++i;
        }
    }
    if (!found) {
        size_t dot = before.rfind('.');
        after = before.substr(dot);
        before = before.substr(0, dot) + "-";
        width = kDefaultWidth;
    }
    before_ = std::move(before);
    after_ = std::move(after);
    width_ = width;
}

std::string FrameNamePattern::name(uint64_t number) const {
    std::string digits = std::to_string(number);
    if (static_cast<int>(digits.size()) < width_)
        digits.insert(0, static_cast<size_t>(width_) - digits.size(), '0');
    return before_ + digits + after_;
}

}  // namespace tarvex_tool
