#!/usr/bin/env bash
# Builds the library, its simulated camera, the tool and the tests, and runs
# the tests.
#   scripts/test.sh [BUILD_DIR]      default build directory: build
# TARVEX_SANITIZE=address,undefined (or thread) builds with sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-dependencies.sh
build="${1:-build}"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" \
  -DTARVEX_SANITIZE="${TARVEX_SANITIZE:-}" >/dev/null
cmake --build "$build" -j "$(nproc)"
ctest --test-dir "$build" -j "$(nproc)" --output-on-failure --timeout 300 ${CTEST_ARGS:-}
