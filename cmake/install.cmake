# SPDX-License-Identifier: BSL-1.0
# What an install holds, by component: `runtime` the library (and on Windows the
# MinGW runtime DLLs), `development` the headers, import or link library, CMake
# package and pkg-config file, `tool` tavtool with its manual and completion.
# The packages (package.cmake) are made of these components.
include(CMakePackageConfigHelpers)

install(TARGETS tav EXPORT TavTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT development
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/tav DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT development)
# Debian's packages each carry the licence as their copyright file instead.
if(NOT TAV_DEB)
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR}
          COMPONENT runtime)
endif()

set(TAV_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Tav)
install(EXPORT TavTargets NAMESPACE Tav:: DESTINATION ${TAV_CMAKE_DIR} COMPONENT development)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/TavConfig.cmake.in
  ${PROJECT_BINARY_DIR}/TavConfig.cmake INSTALL_DESTINATION ${TAV_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/TavConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/TavConfig.cmake ${PROJECT_BINARY_DIR}/TavConfigVersion.cmake
  DESTINATION ${TAV_CMAKE_DIR} COMPONENT development)

# The prefix is found from the .pc file's own place, so the package can be installed anywhere.
set(TAV_PC_CFLAGS "")
if(tav_static)
  set(TAV_PC_CFLAGS " -DTAV_STATIC")
endif()
file(RELATIVE_PATH TAV_PC_TO_PREFIX "/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/")
configure_file(${CMAKE_CURRENT_LIST_DIR}/tav.pc.in ${PROJECT_BINARY_DIR}/tav.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/tav.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT development)
