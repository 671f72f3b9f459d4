# SPDX-License-Identifier: MIT
# SPDX-FileCopyrightText: 2026 The Tavlo developers
# Installs a build into a scratch prefix and checks that a desktop finds
# Tavlo there: the program the menu entry starts, the entry itself, and the
# icon it names, in the scalable size and as PNGs of the sizes their
# directories promise.
#
#   cmake -DBUILD_DIR=... -DPREFIX=... -P checkInstall.cmake

foreach(var IN ITEMS BUILD_DIR PREFIX)
    if(NOT ${var})
        message(FATAL_ERROR "${var} is not set")
    endif()
endforeach()

file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
    RESULT_VARIABLE failed OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(failed)
    message(FATAL_ERROR "cmake --install failed:\n${output}")
endif()

set(errors "")
macro(fail text)
    string(APPEND errors "  ${text}\n")
endmacro()

set(entry "${PREFIX}/share/applications/io.github.tavlo.Tavlo.desktop")
if(NOT EXISTS "${entry}")
    fail("no menu entry share/applications/io.github.tavlo.Tavlo.desktop")
else()
    file(STRINGS "${entry}" lines)
    foreach(key IN ITEMS TryExec Icon)
        set(${key} "")
        foreach(line IN LISTS lines)
            if(line MATCHES "^${key}=(.*)$")
                set(${key} "${CMAKE_MATCH_1}")
            endif()
        endforeach()
    endforeach()
    if(NOT TryExec STREQUAL "tavlo" OR NOT Icon STREQUAL "tavlo")
        fail("the entry should start tavlo with the icon tavlo, not '${TryExec}' and '${Icon}'")
    endif()
endif()

if(NOT EXISTS "${PREFIX}/bin/tavlo")
    fail("no program bin/tavlo")
elseif(NOT IS_DIRECTORY "${PREFIX}/bin/tavlo")
    execute_process(COMMAND test -x "${PREFIX}/bin/tavlo" RESULT_VARIABLE notExecutable)
    if(notExecutable)
        fail("bin/tavlo is not executable")
    endif()
endif()

set(icons "${PREFIX}/share/icons/hicolor")
if(NOT EXISTS "${icons}/scalable/apps/tavlo.svg")
    fail("no icon hicolor/scalable/apps/tavlo.svg")
endif()
foreach(size IN ITEMS 48 128 256)
    set(png "${icons}/${size}x${size}/apps/tavlo.png")
    if(NOT EXISTS "${png}")
        fail("no icon hicolor/${size}x${size}/apps/tavlo.png")
        continue()
    endif()
    # The PNG signature, then the IHDR chunk whose first fields are the
    # width and the height as 32-bit big-endian numbers.
    file(READ "${png}" header LIMIT 24 HEX)
    string(SUBSTRING "${header}" 0 16 signature)
    string(SUBSTRING "${header}" 32 8 width)
    string(SUBSTRING "${header}" 40 8 height)
    if(NOT signature STREQUAL "89504e470d0a1a0a")
        fail("hicolor/${size}x${size}/apps/tavlo.png is not a PNG")
        continue()
    endif()
    math(EXPR width "0x${width}")
    math(EXPR height "0x${height}")
    if(NOT width EQUAL size OR NOT height EQUAL size)
        fail("hicolor/${size}x${size}/apps/tavlo.png is ${width}x${height}")
    endif()
endforeach()

if(errors)
    message(FATAL_ERROR "The installed tree in ${PREFIX} is not what a desktop needs:\n${errors}")
endif()
message(STATUS "Installed tree in ${PREFIX} is complete")
