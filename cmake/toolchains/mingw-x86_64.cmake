# Cross-build for x86_64 Windows with mingw-w64.
#   cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-x86_64.cmake
set(TARVEX_WINDOWS_ARCH x86_64)
set(TARVEX_WINE /usr/lib/wine/wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
