# SPDX-License-Identifier: BSL-1.0
# Compiles each case of format_misuse.cpp: the valid calls must compile, and
# each call with a class-type argument must fail with the message that says
# what to pass instead.
foreach(case 0 1 2 3 4)
  execute_process(COMMAND ${CXX} -std=c++17 -fsyntax-only -DCASE=${case} -I${INCLUDE} ${SOURCE}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(case EQUAL 0 AND NOT rc EQUAL 0)
    message(FATAL_ERROR "valid calls do not compile:\n${out}")
  elseif(NOT case EQUAL 0 AND rc EQUAL 0)
    message(FATAL_ERROR "case ${case}: a class-type argument compiled")
  elseif(NOT case EQUAL 0 AND NOT out MATCHES "Format takes no class-type arguments: pass a std::string as s\\.c_str\\(\\)")
    message(FATAL_ERROR "case ${case}: failed without the message:\n${out}")
  endif()
endforeach()
