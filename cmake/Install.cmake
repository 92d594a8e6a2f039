# cmake --install: the library, its headers, a CMake package and a pkg-config file.
include(CMakePackageConfigHelpers)
install(TARGETS tarvex EXPORT tarvexTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES include/tarvex.h include/tarvex_sim.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
if(NOT WIN32)
  install(FILES include/tarvex_device.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
endif()
install(EXPORT tarvexTargets NAMESPACE tarvex:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/tarvex)
configure_package_config_file(cmake/tarvexConfig.cmake.in ${CMAKE_CURRENT_BINARY_DIR}/tarvexConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/tarvex)
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/tarvexConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/tarvexConfig.cmake ${CMAKE_CURRENT_BINARY_DIR}/tarvexConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/tarvex)
configure_file(cmake/tarvex.pc.in ${CMAKE_CURRENT_BINARY_DIR}/tarvex.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/tarvex.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
