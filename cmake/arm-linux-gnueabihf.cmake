# Cross-builds for 32-bit ARM with hardware floating point (Debian armhf)
# with the Debian cross compiler against the armhf libraries that multiarch
# installs beside the host's, and runs what it builds (tests, try_run) under
# qemu user emulation.
#
#   cmake -S . -B build-armhf -DCMAKE_TOOLCHAIN_FILE=cmake/arm-linux-gnueabihf.cmake
#
# scripts/cross.sh armhf installs what this needs.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR armv7l)
set(TAVLO_CROSS_TRIPLE arm-linux-gnueabihf)
set(TAVLO_CROSS_EMULATOR qemu-arm-static)
include(${CMAKE_CURRENT_LIST_DIR}/debianMultiarch.cmake)
