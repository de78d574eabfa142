# SPDX-License-Identifier: BSL-1.0
# The packages, made by CPack from the install's components (install.cmake):
# scripts/package makes them all. Debian's (DEB, in a build configured with
# TAV_DEB=ON and the prefix /usr): libtav<SONAME's number> the library,
# libtav-dev what programs are built with, tavtool the tool; each with its
# copyright file and changelog, dependencies found by dpkg-shlibdeps. Windows'
# (ZIP, in a MinGW build): one archive of every component.
set(CPACK_PACKAGE_NAME tav)
set(CPACK_PACKAGE_VENDOR "The Tav developers")
set(CPACK_PACKAGE_CONTACT "The Tav developers <maintainers@users.noreply.c-seed-6a54109a.example>")
set(CPACK_PACKAGE_HOMEPAGE_URL "")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)  # one archive holds everything
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  math(EXPR bits "8 * ${CMAKE_SIZEOF_VOID_P}")
  set(CPACK_PACKAGE_FILE_NAME "tav-${PROJECT_VERSION}-win${bits}")
else()
  set(CPACK_GENERATOR DEB)
endif()

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# tavtool's libtav is in the library's package, staged beside it: dpkg-shlibdeps
# finds it there, and the dependency on that package comes from the components'.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
  "${PROJECT_BINARY_DIR}/_CPack_Packages/${CMAKE_SYSTEM_NAME}/DEB/tav-${PROJECT_VERSION}-${CMAKE_SYSTEM_NAME}/runtime${CMAKE_INSTALL_FULL_LIBDIR}")
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(tav_runtime_package libtav${PROJECT_VERSION_MAJOR})
set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME ${tav_runtime_package})
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libtav-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_TOOL_PACKAGE_NAME tavtool)
set(CPACK_DEBIAN_TOOL_PACKAGE_SECTION utils)
set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS runtime)
set(CPACK_COMPONENT_TOOL_DEPENDS runtime)
# Each package's description: its synopsis, then lines of at most 80
# characters (CPack indents them). CPack's DEB generator puts any summary but
# its default before every package's description: the summary stays its default.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${CMAKE_PROJECT_NAME} built using CMake")
set(tav_about "Tav reads RIFF files over std::istream, its own named-node container format
with textual path lookup, and locale string tables keyed by CRC; it has a
CRC-32C variant, string splitting and formatting, a console keyboard reader and
a periodic timer.")
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION "small C++ utility library\n${tav_about}")
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION "small C++ utility library - development files\n${tav_about}

This package holds the headers, the CMake package (find_package(Tav)) and the
pkg-config file.")
set(CPACK_COMPONENT_TOOL_DESCRIPTION "inspect and make the files of the Tav library
tavtool prints the chunk tree of RIFF files (WAV, AVI, WebP and Tav's own),
describes them as JSON and writes them back byte for byte, and compiles gettext
catalogues into Tav's locale files.")

if(TAV_DEB)
  # Each package's copyright file and changelog, in /usr/share/doc/PACKAGE.
  string(TIMESTAMP tav_date "%a, %d %b %Y %H:%M:%S +0000" UTC)  # SOURCE_DATE_EPOCH where set
  # The licence as a copyright file's paragraph: each line indented, a blank one a lone ".".
  file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE tav_lines)
  list(TRANSFORM tav_lines PREPEND " ")
  list(TRANSFORM tav_lines REPLACE "^ $" " .")
  list(JOIN tav_lines "\n" tav_license)
  foreach(component runtime development tool)
    string(TOUPPER ${component} upper)
    set(package ${CPACK_DEBIAN_${upper}_PACKAGE_NAME})
    set(doc ${PROJECT_BINARY_DIR}/debian/${package})
    configure_file(${CMAKE_CURRENT_LIST_DIR}/debian/copyright.in ${doc}/copyright @ONLY)
    configure_file(${CMAKE_CURRENT_LIST_DIR}/debian/changelog.in ${doc}/changelog.Debian @ONLY)
    execute_process(COMMAND gzip -9nf ${doc}/changelog.Debian)
    install(FILES ${doc}/copyright ${doc}/changelog.Debian.gz DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package}
            COMPONENT ${component})
  endforeach()
endif()
include(CPack)
