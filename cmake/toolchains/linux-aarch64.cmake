# SPDX-License-Identifier: BSL-1.0
# Cross build for 64-bit ARM Linux with Debian's g++-aarch64-linux-gnu; the tests
# run under qemu-aarch64.
set(TAV_LINUX_TRIPLE aarch64-linux-gnu)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(TAV_QEMU qemu-aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/linux-common.cmake)
