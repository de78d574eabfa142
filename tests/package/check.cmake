# SPDX-License-Identifier: BSL-1.0
# Installs the built library into a fresh prefix, then builds and runs a small
# outside program against it twice: through find_package and through pkg-config
# (as C++20: the package must not choose the caller's standard); then builds it
# a third time with Tav as a subdirectory of the outside project. Last, the
# installed tavtool runs from a prefix moved elsewhere, with no library path set.
file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "failed (${rc}): ${ARGN}\n${out}")
  endif()
endfunction()

run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

run(${CMAKE_COMMAND} -S ${SOURCE_DIR}/tests/package/consumer -B ${WORK_DIR}/cmake-build
    -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_CXX_COMPILER=${CXX})
run(${CMAKE_COMMAND} --build ${WORK_DIR}/cmake-build)
run(${WORK_DIR}/cmake-build/consumer)

file(GLOB_RECURSE pcfile ${prefix}/*/tav.pc)
get_filename_component(pcdir ${pcfile} DIRECTORY)
set(ENV{PKG_CONFIG_PATH} ${pcdir})
execute_process(COMMAND pkg-config --cflags --libs tav OUTPUT_VARIABLE flags RESULT_VARIABLE rc
                OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "pkg-config does not know tav")
endif()
if(flags MATCHES "-std=")
  message(FATAL_ERROR "tav.pc sets the language standard, which overrides the caller's: ${flags}")
endif()
separate_arguments(flags UNIX_COMMAND "${flags}")
run(${CXX} -std=c++20 ${SOURCE_DIR}/tests/package/consumer/main.cpp ${flags} -o ${WORK_DIR}/pc-consumer)
string(REGEX REPLACE ".*-L([^ ;]+).*" "\\1" libdir "${flags}")
set(ENV{LD_LIBRARY_PATH} ${libdir})
run(${WORK_DIR}/pc-consumer)

# The licence goes with the package; the library links nothing of what only
# tavtool uses (GNU libgettextpo is GPL, CLI11 header-only).
if(NOT EXISTS ${prefix}/share/doc/Tav/LICENSE)
  message(FATAL_ERROR "the licence is not installed in share/doc/Tav")
endif()
file(GLOB library ${prefix}/*/libtav.so.*.*.* ${prefix}/*/*/libtav.so.*.*.*)
find_program(OBJDUMP objdump REQUIRED)
execute_process(COMMAND ${OBJDUMP} -p -T -C ${library} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT dump MATCHES "NEEDED")
  message(FATAL_ERROR "cannot read the installed library '${library}'")
endif()
if(dump MATCHES "gettextpo|CLI::")
  message(FATAL_ERROR "the library links one of tavtool's libraries:\n${dump}")
endif()

# As a subdirectory: static unless the parent asks (BUILD_SHARED_LIBS), and the
# parent's installed program runs from its prefix with no library path.
unset(ENV{LD_LIBRARY_PATH})
run(${CMAKE_COMMAND} -S ${SOURCE_DIR}/tests/package/subdirectory -B ${WORK_DIR}/subdirectory-build
    -DTAV_SOURCE_DIR=${SOURCE_DIR} -DCMAKE_CXX_COMPILER=${CXX} -DEXPECTED_TYPE=STATIC_LIBRARY)
run(${CMAKE_COMMAND} --build ${WORK_DIR}/subdirectory-build)
run(${CMAKE_COMMAND} --install ${WORK_DIR}/subdirectory-build --prefix ${WORK_DIR}/parent)
run(${WORK_DIR}/parent/bin/consumer)
run(${CMAKE_COMMAND} -S ${SOURCE_DIR}/tests/package/subdirectory -B ${WORK_DIR}/subdirectory-shared
    -DTAV_SOURCE_DIR=${SOURCE_DIR} -DCMAKE_CXX_COMPILER=${CXX} -DBUILD_SHARED_LIBS=ON -DEXPECTED_TYPE=SHARED_LIBRARY)
# At the top level, BUILD_SHARED_LIBS=OFF gives the static library; TAV_STATIC, where set, decides for Tav alone.
foreach(choice "-DBUILD_SHARED_LIBS=OFF;STATIC" "-DBUILD_SHARED_LIBS=OFF;-DTAV_STATIC=OFF;SHARED" "-UBUILD_SHARED_LIBS;SHARED")
  list(POP_BACK choice expected)
  execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR}/top-level -DTAV_TESTS=OFF -DTAV_TOOLS=OFF
                          -UTAV_STATIC ${choice} OUTPUT_VARIABLE out RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0 OR NOT out MATCHES "Tav: a ${expected} library")
    message(FATAL_ERROR "${choice} at the top level did not give a ${expected} library:\n${out}")
  endif()
endforeach()

if(EXISTS ${prefix}/bin/tavtool)
  file(RENAME ${prefix} ${WORK_DIR}/moved)
  run(${WORK_DIR}/moved/bin/tavtool tree ${SOURCE_DIR}/examples/sample.riff)
endif()
