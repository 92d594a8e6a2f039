// What the stand-in's "setupapi.dll" holds, for tests: a count or an open
// that leaves the library loaded or a device information set alive shows here.
#pragma once

#include <cstdint>

namespace tarvex::platform {

// LoadLibraryA("setupapi.dll") calls not yet matched by FreeLibrary.
uint32_t setupApiLoads();

// Device information sets not yet destroyed.
uint32_t liveDeviceInfoSets();

}  // namespace tarvex::platform
