#!/usr/bin/env bash
# A fresh 64-bit Wine prefix with the simulated camera's driver running in it.
#   tests/windows/wine-prefix.sh up PREFIX DRIVER.sys   boot the prefix, install and start the driver
#   tests/windows/wine-prefix.sh down PREFIX            stop the driver and the prefix's wineserver
# Wine's output goes to PREFIX.log: its background processes inherit standard
# output and would otherwise hold a caller's pipe open.
set -euo pipefail

wine64=/usr/lib/wine/wine64
service=tarvexsim
command=${1:?up or down}
export WINEPREFIX=$(realpath -m "${2:?prefix}")
export WINEDEBUG=${WINEDEBUG:--all}
log=$WINEPREFIX.log

case $command in
up)
  driver=$(realpath "${3:?driver}")
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  : >"$log"
  # A wineserver kept alive for the whole run makes each later program start
  # in well under a second.
  wineserver -p </dev/null >>"$log" 2>&1
  "$wine64" wineboot </dev/null >>"$log" 2>&1
  cp "$driver" "$WINEPREFIX/drive_c/windows/system32/drivers/$service.sys"
  # Through the 64-bit service tools: the 32-bit ones mark the service WOW64
  # and it does not start.
  "$wine64" sc create $service type= kernel start= demand \
    binPath= "C:\\windows\\system32\\drivers\\$service.sys" </dev/null >>"$log" 2>&1
  "$wine64" sc start $service </dev/null >>"$log" 2>&1
  if ! "$wine64" sc query $service </dev/null 2>>"$log" | grep -q RUNNING; then
    echo "the simulated camera's driver did not start (see $log)" >&2
    exit 1
  fi
  ;;
down)
  "$wine64" sc stop $service </dev/null >>"$log" 2>&1 || true
  wineserver -k </dev/null >>"$log" 2>&1 || true
  ;;
*)
  echo "usage: $0 up PREFIX DRIVER.sys | down PREFIX" >&2
  exit 2
  ;;
esac
