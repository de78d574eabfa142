# Cross build for x86-64 Windows with Debian's MinGW-w64 compilers.
# The -posix compilers, for std::thread and std::mutex.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Header-only packages of the build machine (CLI11) are usable as they are.
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
# 64-bit Windows programs run here under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
