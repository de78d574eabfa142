# SPDX-License-Identifier: BSL-1.0
# Cross build for 32-bit x86 Windows, the library's home target, with Debian's
# MinGW-w64 compilers; the programs run under Wine's 32-bit half (wine32:i386),
# in a 32-bit prefix (WINEARCH=win32), where the kernel runs 32-bit x86 code.
set(TAV_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
