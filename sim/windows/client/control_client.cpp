#include "control_client.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "control_channel.h"

namespace tarvex::sim::windows {

namespace {

// The layout both ends of the channel agree on, 32-bit and 64-bit callers
// alike (the driver is 64-bit when a 32-bit program calls it).
static_assert(sizeof(ControlRequest) == 4112);
static_assert(sizeof(ControlReply) == 16);
static_assert(sizeof(tarvex_sim_call) == 144);

// Opened once per process and kept: every call of the interface goes through it.
HANDLE controlDevice() {
    static HANDLE device =
        CreateFileA(CONTROL_DEVICE_PATH, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    return device;
}

}  // namespace

ControlReply sendControl(const ControlRequest& request, const void* in, uint32_t inSize, void* out,
                         uint32_t outSize) {
    HANDLE device = controlDevice();
    if (device == INVALID_HANDLE_VALUE) return ControlReply{TARVEX_SIM_ENODRIVER, 0};
    std::vector<uint8_t> input(sizeof request + inSize);
    std::memcpy(input.data(), &request, sizeof request);
    if (inSize != 0) std::memcpy(input.data() + sizeof request, in, inSize);
    std::vector<uint8_t> output(sizeof(ControlReply) + outSize);
    DWORD returned = 0;
    if (!DeviceIoControl(device, CONTROL_REQUEST_CODE, input.data(), static_cast<DWORD>(input.size()),
                         output.data(), static_cast<DWORD>(output.size()), &returned, nullptr) ||
        returned < sizeof(ControlReply)) {
        return ControlReply{TARVEX_SIM_ENODRIVER, 0};
    }
    ControlReply reply;
    std::memcpy(&reply, output.data(), sizeof reply);
    if (outSize != 0) std::memcpy(out, output.data() + sizeof reply, outSize);
    return reply;
}

}  // namespace tarvex::sim::windows
