# SPDX-License-Identifier: BSL-1.0
# The MinGW runtime DLLs (libstdc++, libgcc, winpthread) are copied beside the
# programs instead of being linked statically: the library's interface passes
# std::string, std::vector and thrown exceptions between tav.dll and its callers,
# which needs one shared copy of the C++ runtime and of the unwinder.
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  return()
endif()
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libgcc_s_dw2-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                  OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${found}")
    find_file(found_${dll} ${dll} PATHS ${CMAKE_FIND_ROOT_PATH}/lib ${CMAKE_FIND_ROOT_PATH}/bin NO_DEFAULT_PATH)
    set(found ${found_${dll}})
  endif()
  if(EXISTS "${found}")
    file(COPY ${found} DESTINATION ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
    set(copy ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${dll})
    # Debian's libstdc++-6.dll carries 20 MB of debug information that no user
    # of the DLL or its packages needs.
    if(CMAKE_STRIP)
      execute_process(COMMAND ${CMAKE_STRIP} --strip-debug ${copy})
    endif()
    list(APPEND TAV_MINGW_RUNTIME ${copy})
  endif()
endforeach()
if(TAV_INSTALL AND TAV_MINGW_RUNTIME)
  install(FILES ${TAV_MINGW_RUNTIME} DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime)
endif()
