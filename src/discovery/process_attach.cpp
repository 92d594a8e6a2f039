// The library's entry notification: the naming scheme is chosen and the
// cameras are counted once, when the library is attached to a process.
#include "discovery/camera_detection.h"

#if defined(_WIN32)

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) tarvex::detectCameras();
    return TRUE;
}

#else

#include "tarvex_device.h"

namespace {

// Runs when the shared library is loaded, after the simulated cameras that
// the environment asks for have been attached.
__attribute__((constructor(200))) void onProcessAttach() {
    tarvex::detectCameras();
}

}  // namespace

extern "C" TARVEX_DEVICE_API void tarvex_system_redetect(void) {
    tarvex::detectCameras();
}

#endif
