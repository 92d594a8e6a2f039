# Cross-build for i686 Windows with mingw-w64.
#   cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-i686.cmake
set(TARVEX_WINDOWS_ARCH i686)
set(TARVEX_WINE /usr/bin/wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
