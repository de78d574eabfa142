# SPDX-License-Identifier: BSL-1.0
# Cross build for x86-64 Windows with Debian's MinGW-w64 compilers; the programs
# run here under Wine.
set(TAV_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
