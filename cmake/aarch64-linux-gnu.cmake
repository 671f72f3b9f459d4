# SPDX-License-Identifier: MIT
# SPDX-FileCopyrightText: 2026 The Tavlo developers
# Cross-builds for 64-bit ARM (Debian arm64) with the Debian cross compiler
# against an arm64 sysroot made by scripts/sysroot.sh, and runs what it
# builds (tests) under qemu user emulation.
#
#   cmake -S . -B build-arm64 -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake \
#       -DTAVLO_SYSROOT=$(sudo scripts/sysroot.sh arm64 | tail -n 1)
#
# scripts/cross.sh arm64 does all of this.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(TAVLO_CROSS_TRIPLE aarch64-linux-gnu)
set(TAVLO_CROSS_EMULATOR qemu-aarch64-static)
include(${CMAKE_CURRENT_LIST_DIR}/debianSysroot.cmake)
