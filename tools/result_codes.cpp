#include "result_codes.h"

#include <cstdio>

#include "tarvex.h"
#include "tarvex_sim.h"

namespace tarvex_tool {

namespace {

struct KnownCode {
    int64_t code;
    const char* name;
    const char* meaning;
};

// The explanations follow the comments of tarvex.h, shortened to one line.
constexpr KnownCode kResults[] = {
    {TARVEX_OK, "OK", "success"},
    {TARVEX_ERR_NO_DEVICE, "ERR_NO_DEVICE", "the camera index is outside 1..(number of cameras attached)"},
    {TARVEX_ERR_INVALID_HANDLE, "ERR_INVALID_HANDLE",
     "the camera handle cannot be locked, or the camera's driver cannot be opened"},
    {TARVEX_ERR_UNRECOGNISED_DEVICE, "ERR_UNRECOGNISED_DEVICE",
     "the camera's identification string cannot be read or names no known variant"},
    {TARVEX_ERR_NO_MEMORY, "ERR_NO_MEMORY",
     "memory for the camera record or an I2C frame cannot be obtained"},
    {TARVEX_ERR_REQUEST_FAILED, "ERR_REQUEST_FAILED",
     "a vendor request failed or moved a byte count other than the one asked for"},
    {TARVEX_ERR_BUSY_TIMEOUT, "ERR_BUSY_TIMEOUT",
     "a busy bit of the camera's status byte stayed set for 1000 ms"},
    {TARVEX_ERR_DRIVER_CALL, "ERR_DRIVER_CALL",
     "a driver device-control call failed, reported a negative status or moved a wrong byte count"},
    {TARVEX_ERR_NOT_SUPPORTED, "ERR_NOT_SUPPORTED",
     "the operation needs hardware variant 2 (the camera with the peripheral port)"},
    {TARVEX_ERR_BAD_SELECTOR, "ERR_BAD_SELECTOR", "unrecognised selector, type, command or sub-mode"},
    {TARVEX_ERR_OUT_OF_RANGE, "ERR_OUT_OF_RANGE",
     "an argument outside its range, or a register outside the mirrored map"},
    {TARVEX_ERR_STATUS_QUERY, "ERR_STATUS_QUERY", "a driver status or last-error query failed"},
    // Negative transfer statuses of the driver, passed through unchanged.
    {-1073741807, "USBD_STATUS_XACT_ERROR", "the driver reports a USB transaction error on the frame stream"},
    {-1073741806, "USBD_STATUS_BABBLE_DETECTED", "the driver reports babble detected on the frame stream"},
};

constexpr KnownCode kSystemErrors[] = {
    {2, "ERROR_FILE_NOT_FOUND", "the camera's driver cannot be found"},
    {5, "ERROR_ACCESS_DENIED", "access denied: the camera was removed while it was open"},
    {31, "ERROR_GEN_FAILURE", "a device attached to the system is not functioning"},
    {87, "ERROR_INVALID_PARAMETER", "the driver refused a parameter"},
    {122, "ERROR_INSUFFICIENT_BUFFER", "the buffer given to the driver is too small"},
    {1167, "ERROR_DEVICE_NOT_CONNECTED", "the camera is not connected"},
};

constexpr KnownCode kSimResults[] = {
    {TARVEX_SIM_EINVAL, "TARVEX_SIM_EINVAL", "the simulated-camera description or argument is not valid"},
    {TARVEX_SIM_ENOCAMERA, "TARVEX_SIM_ENOCAMERA", "there is no simulated camera with that id"},
    {TARVEX_SIM_ENOSPACE, "TARVEX_SIM_ENOSPACE",
     "no room for another simulated camera (names taken, too many cameras)"},
    {TARVEX_SIM_ENODRIVER, "TARVEX_SIM_ENODRIVER", "the simulated camera's driver cannot be reached"},
};

template <size_t N>
const KnownCode* find(const KnownCode (&table)[N], int64_t code) {
    for (const KnownCode& known : table)
        if (known.code == code) return &known;
    return nullptr;
}

std::string format(const CodeText& text, const char* number) {
    return text.name + " (" + number + "): " + text.meaning;
}

}  // namespace

CodeText describeResult(int32_t code) {
    if (const KnownCode* known = find(kResults, code)) return {known->name, known->meaning};
    char name[32];
    if (code < 0) {
        std::snprintf(name, sizeof name, "status 0x%08X", static_cast<uint32_t>(code));
        return {name, "a negative status that the driver reported"};
    }
    std::snprintf(name, sizeof name, "status %d", code);
    return {name, "a result this program does not know"};
}

CodeText describeSystemError(uint32_t code) {
    if (const KnownCode* known = find(kSystemErrors, code)) return {known->name, known->meaning};
    char name[32];
    std::snprintf(name, sizeof name, "system error %u", code);
    return {name, "the driver call failed with this system error code"};
}

CodeText describeSimResult(int32_t code) {
    if (const KnownCode* known = find(kSimResults, code)) return {known->name, known->meaning};
    char name[32];
    std::snprintf(name, sizeof name, "simulator result %d", code);
    return {name, "a result this program does not know"};
}

std::string formatResult(int32_t code) {
    char number[16];
    std::snprintf(number, sizeof number, "%d", code);
    return format(describeResult(code), number);
}

std::string formatSystemError(uint32_t code) {
    char number[16];
    std::snprintf(number, sizeof number, "%u", code);
    return format(describeSystemError(code), number);
}

std::string formatSimResult(int32_t code) {
    char number[16];
    std::snprintf(number, sizeof number, "%d", code);
    return format(describeSimResult(code), number);
}

}  // namespace tarvex_tool
