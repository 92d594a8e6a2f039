// Cameras named by the TARVEX_SIM environment variable are attached when the
// library loads, before the library's own camera detection runs (which has
// the default constructor priority), so that detection counts them. They run
// paced, as a real camera would, unless their description says paced=0.
#include <cstdio>
#include <cstdlib>

#include "sim_runtime.h"

namespace {

__attribute__((constructor(101))) void attachEnvironmentCameras() {
    const char* list = std::getenv("TARVEX_SIM");
    if (list == nullptr || list[0] == 0) return;
    int32_t attached = tarvex::sim::attachCameraList(list, true);
    if (attached < 0) {
        std::fprintf(stderr, "TARVEX_SIM=\"%s\": no simulated camera attached (error %d)\n", list,
                     static_cast<int>(attached));
    }
}

}  // namespace
