# SPDX-License-Identifier: BSL-1.0
# Shared by the MinGW-w64 toolchain files, which set TAV_MINGW_TRIPLE and
# CMAKE_SYSTEM_PROCESSOR first. The -posix compilers, for std::thread and std::mutex.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${TAV_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TAV_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TAV_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TAV_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Header-only packages of the build machine (CLI11) are usable as they are.
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
