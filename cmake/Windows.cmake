# Windows build set-up, before the library's folders are added: static runtime,
# GoogleTest from source, test discovery at test time (under Wine).
#
# The library's home is i686 (32-bit, standard calling convention); x86_64 is
# built the same way. See cmake/toolchains/ for the cross-compilers.

if(NOT TARVEX_WINDOWS_ARCH)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(TARVEX_WINDOWS_ARCH i686)
  else()
    set(TARVEX_WINDOWS_ARCH x86_64)
  endif()
endif()

# No libgcc, libstdc++ or libwinpthread DLL at run time: only the system's.
add_link_options(-static)

# Library, tools and test programs in one folder, so that each program finds
# tarvex.dll next to it (Wine searches the program's folder first).
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# Test programs cannot run at build time (no Wine prefix then): list their
# tests when CTest runs.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)

# GoogleTest compiled with the cross-compiler from the sources of the system's
# googletest package.
if(TARVEX_BUILD_TESTS AND NOT TARGET GTest::gtest)
  set(TARVEX_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${TARVEX_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  foreach(_gtest_target gtest gtest_main)
    # Built as the package's authors ship it, not under the project's -Werror.
    get_target_property(_options ${_gtest_target} COMPILE_OPTIONS)
    if(_options)
      list(REMOVE_ITEM _options -Werror)
      set_target_properties(${_gtest_target} PROPERTIES COMPILE_OPTIONS "${_options}")
    endif()
  endforeach()
  if(NOT TARGET GTest::gtest)
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
  endif()
endif()
