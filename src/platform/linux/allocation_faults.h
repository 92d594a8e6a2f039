// Planned allocation failures, so that tests can reach the library's
// out-of-memory paths (tarvex_system_fail_allocation).
#pragma once

namespace tarvex::platform {

// One of TARVEX_ALLOC_GLOBAL, TARVEX_ALLOC_HEAP, TARVEX_ALLOC_LOCK.
// Counts one attempt of that kind and says whether it is to fail.
bool allocationShouldFail(int kind);

}  // namespace tarvex::platform
