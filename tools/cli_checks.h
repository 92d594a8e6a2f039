// Argument checks with messages a user reads without a second look.
#pragma once

#include <CLI/CLI.hpp>

namespace tarvex_tool {

// A number greater than zero.
CLI::Validator positive();

}  // namespace tarvex_tool
