# tarvex.dll: the export table from the one export list, an import library
# that C callers of include/tarvex.h link with, and the simulated camera's
# Windows parts (kernel driver for Wine, control client).
#
# i686: the .def carries the decorated names of the standard calling
# convention (TarvexStopSnap@4, TarvexAbortSnap@4 = TarvexStopSnap@4);
# --kill-at strips the decoration from the export table, so the DLL exports
# plain names, the second name at the address of the first. ld's own import
# library loses the decoration after --kill-at, which callers need, so it is
# made again with dlltool -k from the decorated .def.
# x86_64: no decoration; the plain .def and ld's import library are right.

set_target_properties(tarvex PROPERTIES PREFIX "" IMPORT_PREFIX "lib" OUTPUT_NAME tarvex)
if(TARVEX_WINDOWS_ARCH STREQUAL "i686")
  set(TARVEX_DEF ${TARVEX_DEF_DECORATED})
  target_link_options(tarvex PRIVATE ${TARVEX_DEF} -Wl,--kill-at)
  add_custom_command(TARGET tarvex POST_BUILD
    COMMAND ${CMAKE_DLLTOOL} -k -d ${TARVEX_DEF} -D tarvex.dll -l $<TARGET_LINKER_FILE:tarvex>
    COMMENT "Import library of tarvex.dll with decorated names"
    VERBATIM)
else()
  set(TARVEX_DEF ${TARVEX_DEF_PLAIN})
  target_link_options(tarvex PRIVATE ${TARVEX_DEF})
endif()
set_property(TARGET tarvex APPEND PROPERTY LINK_DEPENDS ${TARVEX_DEF})

add_subdirectory(${PROJECT_SOURCE_DIR}/sim/windows ${CMAKE_BINARY_DIR}/sim/windows)
