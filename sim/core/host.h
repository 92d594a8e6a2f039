// What the camera core needs from the system it runs in: the time, and the
// device plumbing through which a camera becomes visible to the library.
//
// The host also serialises: every entry into the core (a device call, a
// control request) is made under one lock the host holds, so the core itself
// takes none. Linux: sim/linux/; Windows: the kernel driver's glue.
#pragma once

#include <cstdint>

namespace tarvex::sim {

// The names one camera is published under.
struct DeviceNames {
    char dosName[40];         // "\\.\KQ-TarvexNT<n>"
    char interfaceClass[40];  // "{2217C0A0-97CF-11DE-A807-444553540000}"
    char devicePath[96];      // "\\?\root#tarvex#<nnnn>#{2217c0a0-...}"
};

class SimHost {
public:
    // Microseconds of the system's monotonic clock.
    virtual uint64_t realTimeUs() = 0;

    // Publishes camera `camera` under `names`. Returns 0 and a token for
    // unplugDevice, or a system error code (183 when a name is taken).
    virtual uint32_t plugDevice(const DeviceNames& names, int32_t camera, uint64_t* token) = 0;

    // Withdraws a published camera. Open handles fail from now on.
    virtual void unplugDevice(uint64_t token) = 0;

    // The core switched between the real and the virtual clock.
    virtual void clockModeChanged(bool isVirtual) = 0;

protected:
    ~SimHost() = default;
};

}  // namespace tarvex::sim
