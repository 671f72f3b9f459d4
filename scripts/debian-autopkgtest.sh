#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# SPDX-FileCopyrightText: 2026 The Tavlo developers
# Runs the package's autopkgtest (debian/tests/) against the packages
# scripts/debian-build.sh built: autopkgtest installs them, with what the
# tests depend on, into a fresh chroot unpacked from the same Debian 12
# tarball (its unshare virtualisation server: no root daemons), and the
# tests there run the installed /usr/bin/tavlo.
#
#   scripts/debian-autopkgtest.sh [CHANGES]
#
# CHANGES is build-deb/amd64/tavlo_VERSION_amd64.changes by default. The
# log and each test's output are left in build-deb/amd64/autopkgtest/.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/lib/install-missing.sh"

install_missing autopkgtest uidmap dpkg-dev
arch=$(dpkg --print-architecture)
version=$(dpkg-parsechangelog -l "$root/debian/changelog" -S Version)
changes=${1:-$root/build-deb/$arch/tavlo_${version}_$arch.changes}
if [ ! -f "$changes" ]; then
    echo "no $changes: scripts/debian-build.sh makes it" >&2
    exit 2
fi
cache=${TAVLO_DEBIAN_CACHE:-/var/cache/tavlo-debian}
tarball=$(ls -t "$cache"/bookworm-"$arch"-*.tar 2>/dev/null | head -n 1 || true)
if [ -z "$tarball" ]; then
    echo "no chroot tarball in $cache: scripts/debian-build.sh makes it" >&2
    exit 2
fi
results="$(dirname "$changes")/autopkgtest"
rm -rf "$results"
# The tarball holds no package lists: they are read afresh. The packages
# the tests depend on are downloaded once into the cache, as for the build.
autopkgtest --output-dir="$results" --setup-commands='apt-get update -q' "$changes" -- \
    unshare --arch="$arch" --release=bookworm --tarball="$tarball" \
    --bind "$cache/archives" /var/cache/apt/archives
