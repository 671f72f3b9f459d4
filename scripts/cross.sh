#!/usr/bin/env bash
# Cross-builds Tavlo and its tests for an ARM device and runs the whole test
# suite under qemu user emulation on the offscreen platform.
#
#   scripts/cross.sh arm64    # 64-bit ARM, into build-arm64/
#   scripts/cross.sh armhf    # 32-bit ARM with hardware floating point, into build-armhf/
#
# Installs what is missing first, through Debian multiarch: the target's Qt
# libraries and platform plugins, the cross compiler and qemu. The host's moc
# and uic serve every target. Exits non-zero if the build or any test fails,
# and with 75 when the target's packages cannot be installed at all.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

arch=${1:-}
case "$arch" in
arm64) triple=aarch64-linux-gnu ;;
armhf) triple=arm-linux-gnueabihf ;;
*)
    echo "usage: $0 arm64|armhf" >&2
    exit 2
    ;;
esac
build="$root/build-$arch"
toolchain="$root/cmake/$triple.cmake"

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)

source "$root/scripts/install-missing.sh"

phase_start=$SECONDS
phase() {
    echo "cross $arch: $1 took $((SECONDS - phase_start)) s"
    phase_start=$SECONDS
}

# The host's tools first, so that the target's qt6-base-dev finds its
# dependency on the tools satisfied by the amd64 package and never pulls in
# the foreign one, whose moc could only run under emulation.
install_missing cmake ninja-build qt6-base-dev-tools qemu-user-static "g++-$triple" fonts-dejavu-core \
    python3 iproute2
if ! dpkg --print-foreign-architectures | grep -qx "$arch"; then
    "${sudo[@]}" dpkg --add-architecture "$arch"
    # Reads the new architecture's package lists.
    apt_update
fi
if ! install_missing "qt6-base-dev:$arch" "qt6-qpa-plugins:$arch" "liburing-dev:$arch"; then
    # Seen when the mirror's package list of the architecture is older than
    # its Release file: the target's libraries then lag the host's, which
    # multiarch refuses. Nothing of the project is at fault; say so apart.
    echo "cross $arch: the target's Qt 6 packages cannot be installed from the package" \
        "mirror as it is now; nothing was built" >&2
    exit 75
fi
# The on-screen keyboard's module needs the target's Qt Quick Widgets; the
# build leaves the module out without them.
install_missing "qt6-declarative-dev:$arch" \
    || echo "cross $arch: no Qt Quick for $arch: built without the on-screen keyboard" >&2
if dpkg-query -W -f='${Status}' "qt6-base-dev-tools:$arch" 2>/dev/null | grep -q 'ok installed'; then
    echo "qt6-base-dev-tools:$arch is installed; remove it, the host's tools serve every target" >&2
    exit 1
fi
phase install

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain"
cmake --build "$build"
phase build

# qemu finds the target's loader and libraries where multiarch puts them; a
# prefix pointing at the cross toolchain's libc would hang threaded programs.
unset QEMU_LD_PREFIX
# A hung test fails after ten minutes, and the whole run stops after
# TAVLO_CROSS_TEST_MINUTES (30 by default) whatever it is doing.
minutes=${TAVLO_CROSS_TEST_MINUTES:-30}
status=0
ctest --test-dir "$build" --output-on-failure --timeout 600 \
    --stop-time "$(date -u -d "+$minutes minutes" '+%H:%M:%S +0000')" || status=$?
phase test

# QtTest reports a skipped test function as a pass of its executable; list
# them so that what did not run on this target stays in sight.
log="$build/Testing/Temporary/LastTest.log"
skipped=$(grep -E '^SKIP +:' "$log" 2>/dev/null || true)
if [ -n "$skipped" ]; then
    echo "Skipped on $arch ($(wc -l <<<"$skipped")):"
    while IFS= read -r line; do printf '  %s\n' "$line"; done <<<"$skipped"
fi
exit "$status"
