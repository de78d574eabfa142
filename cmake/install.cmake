# SPDX-License-Identifier: BSL-1.0
include(CMakePackageConfigHelpers)

install(TARGETS tav EXPORT TavTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/tav DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(TAV_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Tav)
install(EXPORT TavTargets NAMESPACE Tav:: DESTINATION ${TAV_CMAKE_DIR})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/TavConfig.cmake.in
  ${PROJECT_BINARY_DIR}/TavConfig.cmake INSTALL_DESTINATION ${TAV_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/TavConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/TavConfig.cmake ${PROJECT_BINARY_DIR}/TavConfigVersion.cmake
  DESTINATION ${TAV_CMAKE_DIR})

# The prefix is found from the .pc file's own place, so the package can be installed anywhere.
set(TAV_PC_CFLAGS "")
if(tav_static)
  set(TAV_PC_CFLAGS " -DTAV_STATIC")
endif()
file(RELATIVE_PATH TAV_PC_TO_PREFIX "/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/")
configure_file(${CMAKE_CURRENT_LIST_DIR}/tav.pc.in ${PROJECT_BINARY_DIR}/tav.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/tav.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
