# What both Windows cross-builds share. The -posix compilers carry the thread
# model that std::mutex (and GoogleTest) need; everything is linked statically
# so that a program needs no DLL beyond the system's. The including toolchain
# file sets TARVEX_WINDOWS_ARCH and TARVEX_WINE (the loader its programs run in).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${TARVEX_WINDOWS_ARCH})

set(_triple ${TARVEX_WINDOWS_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER ${_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${_triple}-windres)
set(CMAKE_DLLTOOL ${_triple}-dlltool)

set(CMAKE_FIND_ROOT_PATH /usr/${_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test programs run under Wine (CTest and test discovery alike). The prefix is
# whatever WINEPREFIX names when the tests run.
set(CMAKE_CROSSCOMPILING_EMULATOR ${TARVEX_WINE})
