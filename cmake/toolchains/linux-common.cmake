# SPDX-License-Identifier: BSL-1.0
# Shared by the Linux cross toolchain files, which set TAV_LINUX_TRIPLE,
# CMAKE_SYSTEM_PROCESSOR and TAV_QEMU first: Debian's cross compilers, and the
# programs run here under qemu-user, or directly. TAV_QEMU_CPU picks the emulated processor
# (reconfigure with -DTAV_QEMU_CPU=pentium3 to run the same build on an old one).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER ${TAV_LINUX_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${TAV_LINUX_TRIPLE}-g++)
set(CMAKE_FIND_ROOT_PATH /usr/${TAV_LINUX_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Header-only packages of the build machine (CLI11) are usable as they are.
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
# "none" runs the tests directly, as a kernel that runs the target's code can
# (scripts/runs-i686 tells for i686).
set(TAV_QEMU_CPU max CACHE STRING "The processor qemu-user emulates for the tests, or none to run them directly")
if(TAV_QEMU_CPU STREQUAL "none")
  unset(CMAKE_CROSSCOMPILING_EMULATOR)
else()
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TAV_QEMU} -cpu ${TAV_QEMU_CPU} -L /usr/${TAV_LINUX_TRIPLE})
endif()
