#!/usr/bin/env bash
# The Windows stage of CI: tarvex.dll, tarvex.exe, the simulated camera's
# driver and the tests, cross-built for i686 and x86_64 and run under Wine.
#   ci/windows-stage.sh
# Needs the packages of `scripts/install-dependencies.sh windows`
# (g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64 wine32:i386, and
# googletest for its sources).
#
# One fresh 64-bit prefix runs everything: the 64-bit driver serves 32-bit and
# 64-bit programs alike. The API tests run twice per architecture: with the
# system reporting a current version (device-interface enumeration) and
# reporting Windows NT 4.0 (numbered device names).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=${JOBS:-2}
start=$(date +%s)
step() { echo "--- $* ($(($(date +%s) - start)) s)"; }

builds=(build-win32:i686 build-win64:x86_64)
for entry in "${builds[@]}"; do
  build=${entry%%:*} arch=${entry##*:}
  step "Build $arch in $build"
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/mingw-$arch.cmake" \
    -DTARVEX_BUILD_BENCHMARKS=OFF >/dev/null
  cmake --build "$build" -j "$jobs"
done

prefix=$(mktemp -d /tmp/tarvex-wine.XXXXXX)/prefix
export WINEPREFIX=$prefix WINEDEBUG=-all
trap 'tests/windows/wine-prefix.sh down "$WINEPREFIX"' EXIT
step "Boot a fresh Wine prefix and start the simulated driver"
tests/windows/wine-prefix.sh up "$WINEPREFIX" build-win64/driver/tarvexsim.sys

set_version() {
  if [ "$1" = current ]; then
    /usr/lib/wine/wine64 reg delete 'HKCU\Software\Wine' /v Version /f </dev/null >>"$WINEPREFIX.log" 2>&1 || true
  else
    /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine' /v Version /d "$1" /f </dev/null >>"$WINEPREFIX.log" 2>&1
  fi
}

failed=0
for entry in "${builds[@]}"; do
  build=${entry%%:*} arch=${entry##*:}
  step "$arch: export table, import library, C caller"
  ctest --test-dir "$build" -R '^windows\.' --output-on-failure || failed=1

  step "$arch: tarvex.exe list and snap through the driver"
  work=$build/wine-tool
  rm -rf "$work" && mkdir -p "$work"
  (cd "$work" && wine ../bin/tarvex.exe --sim 2 list </dev/null) || failed=1
  (cd "$work" && wine ../bin/tarvex.exe --sim 1 snap -o frame.png </dev/null) || failed=1
  if ! head -c 8 "$work/frame.png" 2>/dev/null | od -An -tx1 | grep -q '89 50 4e 47 0d 0a 1a 0a'; then
    echo "tarvex.exe snap wrote no PNG file" >&2
    failed=1
  fi

  step "$arch: API tests, system version current (device-interface enumeration)"
  set_version current
  tests/windows/run-api-tests.sh "$build" "$arch-current" || failed=1
  # These tests assert the traffic of interface-mode opens ("open \0") or no
  # traffic at all, while counting with numbered names opens each camera
  # once ("open ", "close"): they hold for one scheme only.
  interface_only='OpenTest.VariantTwoOpenSequence:OpenTest.VariantOneOpenSequenceHasNoPortRequests'
  interface_only+=':Identifications/RefusedIdentification.*:CommandTest.InvalidHandleTouchesNothing'
  interface_only+=':DeviceInfoTest.InvalidHandlesTouchNothing:MaintenanceTest.InvalidHandlesSendNothing'
  step "$arch: API tests, system version NT 4.0 (numbered device names)"
  set_version nt40
  tests/windows/run-api-tests.sh "$build" "$arch-nt40" "-$interface_only" || failed=1
  set_version current
done

step "Windows stage $([ $failed -eq 0 ] && echo passed || echo FAILED)"
exit $failed
