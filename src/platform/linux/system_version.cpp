// GetVersion and its switch. The environment is read on first use rather
// than by a static initialiser, because the library's load-time detection
// asks for the version before other files' initialisers have run.
#include "platform/linux/system_version.h"

#include <atomic>
#include <cctype>
#include <cstdlib>
#include <string_view>

#include "platform/win32.h"
#include "tarvex_device.h"

namespace tarvex::platform {
namespace {

struct NamedVersion {
    std::string_view name;
    uint32_t version;
};

// The values the systems themselves report.
constexpr NamedVersion kNamedVersions[] = {
    {"nt40", 0x05650004u},   // Windows NT 4.0, build 1381
    {"win95", 0xC3B60004u},  // Windows 95: top bit set, major version 4
    {"win7", 0x1DB10106u},   // Windows 7, build 7601
};

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::optional<uint32_t> parseNumber(std::string_view digits, unsigned base) {
    if (digits.empty()) return std::nullopt;
    uint64_t value = 0;
    for (char c : digits) {
        unsigned digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<unsigned>(c - '0');
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = static_cast<unsigned>(c - 'a' + 10);
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = static_cast<unsigned>(c - 'A' + 10);
        else
            return std::nullopt;
        if (digit >= base) return std::nullopt;
        value = value * base + digit;
        if (value > 0xFFFFFFFFu) return std::nullopt;
    }
    return static_cast<uint32_t>(value);
}

std::atomic<uint32_t>& reportedVersion() {
    static std::atomic<uint32_t> version{[] {
        const char* text = std::getenv("TARVEX_SYSTEM_VERSION");
        return parseSystemVersion(text).value_or(kDefaultSystemVersion);
    }()};
    return version;
}

}  // namespace

std::optional<uint32_t> parseSystemVersion(const char* text) {
    if (text == nullptr) return std::nullopt;
    std::string_view value(text);
    for (const NamedVersion& named : kNamedVersions)
        if (equalsIgnoringCase(value, named.name)) return named.version;
    if (value.size() > 2 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X'))
        return parseNumber(value.substr(2), 16);
    return parseNumber(value, 10);
}

}  // namespace tarvex::platform

extern "C" DWORD GetVersion() {
    return tarvex::platform::reportedVersion().load();
}

extern "C" void tarvex_system_set_version(uint32_t version) {
    tarvex::platform::reportedVersion().store(version);
}

extern "C" uint32_t tarvex_system_version(void) {
    return tarvex::platform::reportedVersion().load();
}
