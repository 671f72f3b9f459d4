# The part the ARM toolchain files share; they set TAVLO_CROSS_TRIPLE (the
# GNU triple, which is also the Debian multiarch directory name) and
# TAVLO_CROSS_EMULATOR before including this.
#
# Multiarch puts the target's libraries in /usr/lib/<triple> on the host's own
# root, so there is no separate sysroot. The host's moc and uic (from the
# amd64 qt6-base-dev-tools) serve every target: the target's Qt CMake files
# already point at them in /usr/lib/qt6/libexec, so Debian 12 needs neither
# QT_HOST_PATH nor QT_HOST_PATH_CMAKE_DIR.

set(CMAKE_C_COMPILER ${TAVLO_CROSS_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${TAVLO_CROSS_TRIPLE}-g++)
set(CMAKE_LIBRARY_ARCHITECTURE ${TAVLO_CROSS_TRIPLE})

set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/${TAVLO_CROSS_TRIPLE}/pkgconfig:/usr/share/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")

# Test programs run under qemu. It is given no -L and no QEMU_LD_PREFIX: the
# programs ask for the loader at /lib/ld-linux-*.so.*, which multiarch
# installs together with a matching libc. The cross toolchain's own copy
# under /usr/<triple> does not match it and hangs every program that starts
# a thread.
find_program(TAVLO_CROSS_EMULATOR_PATH ${TAVLO_CROSS_EMULATOR} REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${TAVLO_CROSS_EMULATOR_PATH})
