# SPDX-License-Identifier: MIT
# SPDX-FileCopyrightText: 2026 The Tavlo developers
# Cross-builds for 32-bit ARM with hardware floating point (Debian armhf)
# with the Debian cross compiler against an armhf sysroot made by
# scripts/sysroot.sh, and runs what it builds (tests) under qemu user
# emulation.
#
#   cmake -S . -B build-armhf -DCMAKE_TOOLCHAIN_FILE=cmake/arm-linux-gnueabihf.cmake \
#       -DTAVLO_SYSROOT=$(sudo scripts/sysroot.sh armhf | tail -n 1)
#
# scripts/cross.sh armhf does all of this.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR armv7l)
set(TAVLO_CROSS_TRIPLE arm-linux-gnueabihf)
set(TAVLO_CROSS_EMULATOR qemu-arm-static)
# GCC notes, wherever a std::initializer_list is passed by value, that GCC
# 7.1 changed how 32-bit ARM passes it; all of Tavlo is built by one compiler.
string(APPEND CMAKE_CXX_FLAGS_INIT " -Wno-psabi")
include(${CMAKE_CURRENT_LIST_DIR}/debianSysroot.cmake)
