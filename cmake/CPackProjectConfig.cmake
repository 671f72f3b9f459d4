# SPDX-License-Identifier: MIT
# SPDX-FileCopyrightText: 2026 The Tavlo developers
# Read by cpack before each package it makes (see Packaging.cmake). In a
# cross build dpkg-shlibdeps takes the package's architecture from
# DEB_HOST_ARCH.
if(CPACK_GENERATOR STREQUAL "DEB" AND CPACK_TAVLO_DEB_HOST_ARCH)
    set(ENV{DEB_HOST_ARCH} "${CPACK_TAVLO_DEB_HOST_ARCH}")
endif()
# Against a sysroot, dpkg-shlibdeps asks the sysroot's package database.
if(CPACK_GENERATOR STREQUAL "DEB" AND CPACK_TAVLO_SYSROOT)
    set(ENV{TAVLO_SYSROOT} "${CPACK_TAVLO_SYSROOT}")
    set(ENV{PATH} "${CPACK_TAVLO_SYSROOT_TOOLS}:$ENV{PATH}")
endif()
# The on-screen keyboard's libraries are recommended, not required.
if(CPACK_GENERATOR STREQUAL "DEB")
    set(SHLIBDEPS_EXECUTABLE "${CMAKE_CURRENT_LIST_DIR}/shlibdepsWithoutKeyboard.sh")
endif()
