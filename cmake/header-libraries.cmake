# SPDX-License-Identifier: BSL-1.0
# The header-only library that tavtool (and the tests of its parts) use. Its
# include directory is the build machine's /usr/include, whose C library headers
# must not reach a cross build: there, copy just the library's own headers.
function(tav_header_library name package target subdir)
  find_package(${package} CONFIG REQUIRED)
  if(CMAKE_CROSSCOMPILING)
    get_target_property(include ${target} INTERFACE_INCLUDE_DIRECTORIES)
    file(COPY ${include}/${subdir} DESTINATION ${PROJECT_BINARY_DIR}/header-libraries/${name})
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_BINARY_DIR}/header-libraries/${name})
  else()
    add_library(${name} ALIAS ${target})
  endif()
endfunction()
tav_header_library(tav_cli11 CLI11 CLI11::CLI11 CLI)
