// Waiting for the frame sync to fall.
#include "camera/locked_camera.h"
#include "transport/driver_call.h"
#include "transport/driver_codes.h"

using namespace tarvex;

namespace {

constexpr DWORD SYNC_DEADLINE_MS = 5000;
constexpr uint32_t SYNC_PIPE = 0;

// The sync level as last read from pipe 0. A read that fails keeps the level
// held before it; before the first good read the level is taken as low.
class SyncLevel {
public:
    explicit SyncLevel(HANDLE device) : device_(device) {}

    bool read() {
        uint8_t byte = 0;
        if (callDriverExact(device_, driver::BULK_READ, &SYNC_PIPE, sizeof SYNC_PIPE, &byte, 1)) {
            high_ = byte != 0;
        }
        return high_;
    }

private:
    HANDLE device_;
    bool high_ = false;
};

}  // namespace

// Busy-polls without sleeping: a fall is a high read followed directly by a
// low one. A pass that starts low first waits for the rise. The first two
// reads of a pass go out without looking at the clock; every later read and
// every new pass is preceded by the deadline check. The tick difference is
// unsigned, so a wrap of the counter does no harm.
extern "C" ApiStatus TARVEX_CALL TarvexWaitSync(CameraHandle handle) {
    LockedCamera camera(handle);
    if (!camera) return ERR_INVALID_HANDLE;

    DWORD start = GetTickCount();
    auto deadlinePassed = [start] { return GetTickCount() - start >= SYNC_DEADLINE_MS; };
    SyncLevel level(camera->device);
    bool fell = false;
    do {
        bool first = level.read();
        bool second = level.read();
        if (first && !second) {
            fell = true;
        } else if (first == second) {
            // Still high: wait for the fall. Still low: wait for the rise,
            // then a new pass looks for the fall.
            while (!deadlinePassed()) {
                if (level.read() != first) {
                    fell = first;
                    break;
                }
            }
        }
    } while (!fell && !deadlinePassed());
    return 0;
}
