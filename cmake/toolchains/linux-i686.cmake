# SPDX-License-Identifier: BSL-1.0
# Cross build for 32-bit x86 Linux, the home DLL's instruction set, with Debian's
# g++-i686-linux-gnu; the tests run under qemu-i386, or directly where the kernel
# runs 32-bit programs (-DTAV_QEMU_CPU=none). Everything is linked statically:
# under Debian's qemu 7.2 a dynamically linked i686 program hangs at its first
# thread creation.
set(TAV_LINUX_TRIPLE i686-linux-gnu)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TAV_QEMU qemu-i386)
include(${CMAKE_CURRENT_LIST_DIR}/linux-common.cmake)
set(TAV_STATIC ON CACHE BOOL "Build Tav as a static library")
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
