#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# SPDX-FileCopyrightText: 2026 The Tavlo developers
# Makes, where they are missing, the caches that the Debian package's and the
# ARM device's steps start from: sbuild's chroot, the two sysroots and the two
# boards' root file systems, in the order .ci/run comes to them. Making them
# is mostly downloading and unpacking, which .ci/run does beside its builds
# and tests on the host rather than after them.
#
#   scripts/caches.sh    (as root)
#
# Each cache is made under the lock its own script takes, so a step that
# needs one still being made waits for it and then finds it made. One that
# cannot be made here is left to its step, which makes it or says why not:
# this exits 0 whatever happened. It prints a line for each cache; what the
# scripts making them print goes to standard error.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

for job in "debian-build.sh chroot" "sysroot.sh arm64" "sysroot.sh armhf" \
    "board.sh arm64 cache" "board.sh armhf cache"; do
    start=$SECONDS
    status=0
    # shellcheck disable=SC2086 # the script and its arguments
    "$root"/scripts/$job >&2 </dev/null || status=$?
    echo "caches: $job took $((SECONDS - start)) s, exit status $status"
done
exit 0
