// Ctrl-C. The handler only raises a flag; the loops that run for a while
// (stream, snap, sync) look at it between calls and leave through the normal
// path, so the stream is stopped and the camera closed. A second Ctrl-C ends
// the program at once, for a camera that hangs in a call.
#pragma once

namespace tarvex_tool {

void installInterruptHandler();
bool interrupted();

// For tests: raise or lower the flag as Ctrl-C would.
void requestInterrupt();
void clearInterrupt();

}  // namespace tarvex_tool
