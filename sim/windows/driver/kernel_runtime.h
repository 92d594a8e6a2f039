// The little C++ runtime the driver carries: a kernel image is linked without
// the compiler's start-up code, so static constructors and destructors are
// run from here.
#pragma once

namespace tarvex::kernel {

// Runs the constructors of the image's static objects (at the start of
// DriverEntry, before anything else).
void runStaticConstructors();

// Runs the destructors registered with atexit, last registered first (from the
// unload routine, after every device is gone).
void runExitHandlers();

}  // namespace tarvex::kernel
