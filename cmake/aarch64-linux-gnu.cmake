# Cross-builds for 64-bit ARM (Debian arm64) with the Debian cross compiler
# against the arm64 libraries that multiarch installs beside the host's, and
# runs what it builds (tests, try_run) under qemu user emulation.
#
#   cmake -S . -B build-arm64 -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake
#
# scripts/cross.sh arm64 installs what this needs.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(TAVLO_CROSS_TRIPLE aarch64-linux-gnu)
set(TAVLO_CROSS_EMULATOR qemu-aarch64-static)
include(${CMAKE_CURRENT_LIST_DIR}/debianMultiarch.cmake)
