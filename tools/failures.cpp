#include "failures.h"

#include "result_codes.h"

namespace tarvex_tool {

CameraCallFailed::CameraCallFailed(std::string function, int32_t code)
    : std::runtime_error(function + " failed: " + formatResult(code)),
      function_(std::move(function)),
      code_(code) {}

void check(const char* function, int32_t code) {
    if (code != 0) throw CameraCallFailed(function, code);
}

}  // namespace tarvex_tool
