#include "acquisition/stream.h"

namespace tarvex {

// Stand-ins until streaming is built: the open and close sequences call them.
ApiStatus startStream(HANDLE, CRITICAL_SECTION*, int32_t) { return 0; }
ApiStatus stopStream(HANDLE, CRITICAL_SECTION*) { return 0; }

}  // namespace tarvex
