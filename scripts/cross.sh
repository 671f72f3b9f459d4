#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# SPDX-FileCopyrightText: 2026 The Tavlo developers
# Cross-builds Tavlo and its tests for an ARM device and runs the whole test
# suite under qemu user emulation on the offscreen platform.
#
#   scripts/cross.sh arm64    # 64-bit ARM, into build-arm64/
#   scripts/cross.sh armhf    # 32-bit ARM with hardware floating point, into build-armhf/,
#                             # without io_uring
#
# Installs what is missing first: the cross compiler, qemu and the host's Qt
# tools (moc and uic serve every target). The target's libraries, Qt's
# included, come in a sysroot that scripts/sysroot.sh makes and keeps (the
# machine's own dpkg is not asked to take the target's architecture). Exits
# non-zero if the build or any test fails, and with $status_mirror when the
# mirror cannot give the target's packages at all (scripts/lib/statuses.sh).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

arch=${1:-}
case "$arch" in
arm64) triple=aarch64-linux-gnu cpu=aarch64 ;;
armhf) triple=arm-linux-gnueabihf cpu=arm ;;
*)
    echo "usage: $0 arm64|armhf" >&2
    exit 2
    ;;
esac
build="$root/build-$arch"
toolchain="$root/cmake/$triple.cmake"

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)

source "$root/scripts/lib/install-missing.sh"
source "$root/scripts/lib/qemu-binfmt.sh"
source "$root/scripts/lib/statuses.sh"

phase_start=$SECONDS
phase() {
    echo "cross $arch: $1 took $((SECONDS - phase_start)) s"
    phase_start=$SECONDS
}

# The host's Qt (its CMake files name its moc and uic), the cross compiler,
# qemu, pkg-config (which the toolchain file points at the sysroot's .pc
# files), and what the tests use on the host.
install_missing cmake ninja-build qt6-base-dev qt6-base-dev-tools qemu-user-static "g++-$triple" \
    pkg-config dpkg-dev fonts-dejavu-core python3 iproute2 qt6-l10n-tools \
    qt6-translations-l10n qt6-declarative-dev
status=0
sysroot=$("${sudo[@]}" "$root/scripts/sysroot.sh" "$arch" | tail -n 1) || status=$?
if ((status == status_mirror)); then
    # Nothing of the project is at fault; say so apart.
    echo "cross $arch: the mirror cannot give the target's packages as it is now;" \
        "nothing was built" >&2
    exit "$status_mirror"
elif ((status != 0)); then
    exit "$status"
fi
phase sysroot

# A build configured against an older sysroot is configured afresh.
if ! grep -qxF "TAVLO_SYSROOT:PATH=$sysroot" "$build/CMakeCache.txt" 2>/dev/null; then
    rm -f "$build/CMakeCache.txt"
fi
# The 32-bit build leaves io_uring out: CI's one build without liburing,
# where the whole suite runs with the one-at-a-time reader (the armhf board's
# packages, built from debian/, keep io_uring).
uring=ON
[ "$arch" = armhf ] && uring=OFF
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DTAVLO_SYSROOT="$sysroot" -DTAVLO_URING="$uring"
cmake --build "$build"
phase build

# The suite runs with the sysroot as its root (scripts/in-sysroot.sh), where
# the kernel starts the target's programs through qemu.
"${sudo[@]}" bash -c "source '$root/scripts/lib/qemu-binfmt.sh' && qemu_binfmt $cpu"
echo "cross $arch: the suite runs with $sysroot as its root, qemu-$cpu through binfmt_misc"
# A hung test fails after ten minutes, and the whole run stops after
# TAVLO_CROSS_TEST_MINUTES (30 by default) whatever it is doing.
minutes=${TAVLO_CROSS_TEST_MINUTES:-30}
status=0
ctest --test-dir "$build" --output-on-failure --timeout 600 --parallel "$(nproc)" \
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
