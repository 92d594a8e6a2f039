// The public headers compile alone, as C++.
#include "tarvex.h"
#include "tarvex_sim.h"
#if !defined(_WIN32)
#include "tarvex_device.h"
#endif
int tarvex_header_alone_cxx() {
    return static_cast<int>(sizeof(StrobeSetup) + sizeof(CommandQuery));
}
