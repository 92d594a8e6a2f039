#!/usr/bin/env bash
# Installs what building and testing need on Debian 12, if anything is missing.
#   scripts/install-dependencies.sh           the Linux build and its tests
#   scripts/install-dependencies.sh windows   also mingw-w64 and Wine for the DLL
set -euo pipefail

packages=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev googletest libbenchmark-dev
          libcli11-dev libstb-dev libpng-dev clang-format)
if [ "${1:-}" = windows ]; then
  packages+=(g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64 wine32:i386)
fi

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
if printf '%s\n' "${missing[@]}" | grep -q ':i386'; then
  $sudo dpkg --add-architecture i386
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
