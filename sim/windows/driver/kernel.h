// The kernel-mode system headers, for the driver's glue files only (the
// simulated camera's core never sees them).
//
// mingw-w64's wdm.h redeclares two bit-test intrinsics that <intrin.h> already
// declares inline when it is read as C++; the header's own copies are renamed
// out of the way.
#pragma once

#include <intrin.h>

#define InterlockedBitTestAndSet TarvexKernelInterlockedBitTestAndSet
#define InterlockedBitTestAndReset TarvexKernelInterlockedBitTestAndReset
#include <ddk/wdm.h>
#undef InterlockedBitTestAndSet
#undef InterlockedBitTestAndReset

// Tag of every allocation the driver makes ("TrvS" in a pool dump).
inline constexpr ULONG TARVEX_POOL_TAG = 0x53767254;
