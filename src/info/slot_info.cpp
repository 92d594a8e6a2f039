// TarvexGetSlotInfo: the driver's 12-byte slot record, passed through.
#include "camera/locked_camera.h"
#include "transport/driver_call.h"
#include "transport/driver_codes.h"

using namespace tarvex;

namespace {
constexpr DWORD SLOT_RECORD_BYTES = 12;
}

extern "C" int32_t TARVEX_CALL TarvexGetSlotInfo(CameraHandle handle, void* buffer) {
    LockedCamera camera(handle);
    if (!camera) return ERR_INVALID_HANDLE;
    if (buffer == nullptr) return ERR_OUT_OF_RANGE;

    DWORD returned = 0;
    if (!callDriver(camera->device, driver::GET_SLOT_INFO, nullptr, 0, buffer, SLOT_RECORD_BYTES,
                    &returned)) {
        // Taken at once: unlocking the handle may reset the thread's last error.
        const DWORD systemError = GetLastError();
        // A failure must never read as success, even if the driver left no code.
        return systemError != 0 && systemError <= 0x7FFFFFFFu ? static_cast<int32_t>(systemError)
                                                              : ERR_DRIVER_CALL;
    }
    return returned == SLOT_RECORD_BYTES ? 0 : ERR_DRIVER_CALL;
}
