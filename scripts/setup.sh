#!/usr/bin/env bash
# Brings a Debian 12 machine to the point where Tavlo builds, then configures
# build/. Sourced by ./run, ./test and scripts/screenshots.sh, which each
# build what they need.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build"

source "$root/scripts/install-missing.sh"

install_missing cmake ninja-build g++ qt6-base-dev qt6-qpa-plugins fonts-dejavu-core \
    desktop-file-utils python3 iproute2 liburing-dev pkg-config \
    qt6-l10n-tools qt6-translations-l10n

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
