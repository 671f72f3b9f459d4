# SPDX-License-Identifier: MIT
# SPDX-FileCopyrightText: 2026 The Tavlo developers
# The part the ARM toolchain files share; they set TAVLO_CROSS_TRIPLE (the
# GNU triple, which is also the Debian multiarch directory name) and
# TAVLO_CROSS_EMULATOR before including this.
#
# The target's libraries and headers are in a sysroot that
# scripts/sysroot.sh makes, named by TAVLO_SYSROOT (a CMake variable or an
# environment variable). Debian's cross compiler builds against it. The
# host's moc and uic (the amd64 qt6-base-dev-tools) serve every target,
# through QT_HOST_PATH: the target's own would run only under emulation.

if(NOT TAVLO_SYSROOT AND DEFINED ENV{TAVLO_SYSROOT})
    set(TAVLO_SYSROOT "$ENV{TAVLO_SYSROOT}")
endif()
if(NOT TAVLO_SYSROOT OR NOT EXISTS "${TAVLO_SYSROOT}/usr/include")
    message(FATAL_ERROR "TAVLO_SYSROOT must name a sysroot made by scripts/sysroot.sh "
                        "(it is '${TAVLO_SYSROOT}')")
endif()
# Try-compiles read this file again and must see the same sysroot.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TAVLO_SYSROOT)
set(TAVLO_SYSROOT "${TAVLO_SYSROOT}" CACHE PATH "Sysroot of the target (scripts/sysroot.sh)")

set(CMAKE_C_COMPILER ${TAVLO_CROSS_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${TAVLO_CROSS_TRIPLE}-g++)
set(CMAKE_LIBRARY_ARCHITECTURE ${TAVLO_CROSS_TRIPLE})
set(CMAKE_SYSROOT "${TAVLO_SYSROOT}")
# The sysroot is not merged-/usr: the linker must find the libraries under
# lib/ that libraries under usr/lib/ need, as the target's loader does.
foreach(dir "${TAVLO_SYSROOT}/lib/${TAVLO_CROSS_TRIPLE}" "${TAVLO_SYSROOT}/usr/lib/${TAVLO_CROSS_TRIPLE}")
    string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT " -Wl,-rpath-link,${dir}")
    string(APPEND CMAKE_SHARED_LINKER_FLAGS_INIT " -Wl,-rpath-link,${dir}")
endforeach()

# Libraries, headers and packages from the sysroot only; programs from the
# host.
set(CMAKE_FIND_ROOT_PATH "${TAVLO_SYSROOT}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config reads the target's .pc files and puts the sysroot before the
# paths they name.
set(ENV{PKG_CONFIG_SYSROOT_DIR} "${TAVLO_SYSROOT}")
set(ENV{PKG_CONFIG_LIBDIR}
    "${TAVLO_SYSROOT}/usr/lib/${TAVLO_CROSS_TRIPLE}/pkgconfig:${TAVLO_SYSROOT}/usr/share/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")

# The machine that builds, in dpkg's words (in a cross build of the Debian
# package DEB_HOST_* names the target).
execute_process(COMMAND dpkg-architecture -qDEB_BUILD_MULTIARCH
    OUTPUT_VARIABLE host_multiarch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
set(QT_HOST_PATH /usr CACHE PATH "Where the host's Qt tools are")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/${host_multiarch}/cmake CACHE PATH
    "Where the CMake files of the host's Qt tools are")

# Test programs run with the sysroot as their root file system, where every
# path they look up resolves as on the device; the kernel runs them through
# qemu-user (scripts/in-sysroot.sh says why qemu's own sysroot prefix is not
# enough, and scripts/cross.sh registers qemu with the kernel).
find_program(TAVLO_CROSS_EMULATOR_PATH ${TAVLO_CROSS_EMULATOR} REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../scripts/in-sysroot.sh;${TAVLO_SYSROOT}")
