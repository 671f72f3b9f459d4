# SPDX-License-Identifier: MIT
# SPDX-FileCopyrightText: 2026 The Tavlo developers
# The Debian package: `cpack -G DEB` in a build directory makes
# tavlo_VERSION_ARCH.deb from what `cmake --install` puts in place, under
# /usr. scripts/package.sh builds it and checks what is in it.

# The package's architecture is that of the binaries the compiler makes, so a
# cross build (arm64, armhf) gets its own without the machine's dpkg being
# asked. The compiler names its target as a GNU triplet, which
# dpkg-architecture turns into a Debian architecture.
function(tavlo_deb_architecture result)
    set(triplet "${CMAKE_CXX_COMPILER_TARGET}")
    if(NOT triplet)
        execute_process(COMMAND ${CMAKE_CXX_COMPILER} -dumpmachine
            OUTPUT_VARIABLE triplet OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    endif()
    find_program(TAVLO_DPKG_ARCHITECTURE dpkg-architecture)
    mark_as_advanced(TAVLO_DPKG_ARCHITECTURE)
    if(triplet AND TAVLO_DPKG_ARCHITECTURE)
        execute_process(COMMAND ${TAVLO_DPKG_ARCHITECTURE} -t ${triplet} -qDEB_HOST_ARCH
            OUTPUT_VARIABLE arch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET
            RESULT_VARIABLE failed)
        if(NOT failed AND arch)
            set(${result} "${arch}" PARENT_SCOPE)
            return()
        endif()
    endif()
    # Without dpkg-dev: the processor names the common cases.
    string(TOLOWER "${CMAKE_SYSTEM_PROCESSOR}" processor)
    if(processor MATCHES "^(x86_64|amd64)$")
        set(${result} amd64 PARENT_SCOPE)
    elseif(processor MATCHES "^(aarch64|arm64)")
        set(${result} arm64 PARENT_SCOPE)
    elseif(processor MATCHES "^arm")
        set(${result} armhf PARENT_SCOPE)
    elseif(processor MATCHES "^i[3-6]86$")
        set(${result} i386 PARENT_SCOPE)
    else()
        set(${result} "" PARENT_SCOPE)
    endif()
endfunction()

if(NOT TAVLO_DEB_ARCHITECTURE)
    tavlo_deb_architecture(detected)
    set(TAVLO_DEB_ARCHITECTURE "${detected}" CACHE STRING
        "Debian architecture of the package (amd64, arm64, armhf, ...)" FORCE)
endif()
if(NOT TAVLO_DEB_ARCHITECTURE)
    message(WARNING "No Debian architecture known for ${CMAKE_SYSTEM_PROCESSOR}; "
                    "set TAVLO_DEB_ARCHITECTURE to build a package.")
endif()

set(TAVLO_PACKAGE_MAINTAINER
    "Tavlo maintainers <maintainers@users.noreply.c-seed-bbed0773.example>"
    CACHE STRING "Maintainer named in the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavlo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${TAVLO_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small, fast note-taking program")
set(CPACK_PACKAGE_DESCRIPTION "\
Tavlo keeps each note as one plain text file in Documents/text/ of the
directory it starts in (the home directory, when started from the desktop's
menu) and lists the notes by their first line. A note is saved safely: the
new text is written beside it and flushed to disk before it takes the note's
place. Written in C++ on Qt 6 Widgets, for small ARM devices and desktops
alike.")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TAVLO_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE "${TAVLO_DEB_ARCHITECTURE}")
# dpkg-shlibdeps finds the Qt 6, C++ and C runtime packages the binary links
# to. Qt only recommends its platform plugins, and without one no window
# opens, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# Qt's own texts (the buttons of the message boxes, the editor's context
# menu) in the user's language; Tavlo's own are built into the program.
# The on-screen keyboard of a device without a window manager or keyboard:
# Qt Virtual Keyboard, Qt Quick Widgets to host it, and QML modules it needs
# but does not declare (cmake/KeyboardRuntime.cmake). Without them Tavlo runs
# with no on-screen keyboard.
# Qt's Wayland plugin, for a Wayland desktop or a device whose screen a
# compositor such as Weston runs: recommended, not required, as a device that
# draws to its frame buffer has no use for it, and apt installs what a
# package recommends unless told not to.
list(JOIN TAVLO_KEYBOARD_PACKAGES ", " keyboard_packages)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, ${keyboard_packages}, qt6-wayland")

# For a cross build dpkg-shlibdeps is told the package's architecture, as a
# cross build of a Debian package does, so it searches that architecture's
# library directories even where ld.so.conf does not list them, and reads the
# binary with that architecture's objdump. cpack reads this file before it
# makes the package.
execute_process(COMMAND dpkg --print-architecture
    OUTPUT_VARIABLE build_architecture OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
if(TAVLO_DEB_ARCHITECTURE AND NOT TAVLO_DEB_ARCHITECTURE STREQUAL build_architecture)
    set(CPACK_TAVLO_DEB_HOST_ARCH "${TAVLO_DEB_ARCHITECTURE}")
endif()
# A cross build against a sysroot (cmake/debianSysroot.cmake) has its
# libraries and their package database there: dpkg-shlibdeps searches its
# library directories and asks scripts/sysroot/dpkg-query which packages hold
# what it found.
if(CMAKE_SYSROOT)
    set(CPACK_TAVLO_SYSROOT "${CMAKE_SYSROOT}")
    set(CPACK_TAVLO_SYSROOT_TOOLS "${PROJECT_SOURCE_DIR}/scripts/sysroot")
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
        "${CMAKE_SYSROOT}/lib/${CMAKE_LIBRARY_ARCHITECTURE}"
        "${CMAKE_SYSROOT}/usr/lib/${CMAKE_LIBRARY_ARCHITECTURE}")
endif()
set(CPACK_PROJECT_CONFIG_FILE "${CMAKE_CURRENT_LIST_DIR}/CPackProjectConfig.cmake")

# `cpack --config CPackSourceConfig.cmake` packs the sources, less build
# directories and the repository itself.
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/\\\\.git$" "/build[^/]*/" "/\\\\.cache/")

include(CPack)
