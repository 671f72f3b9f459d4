#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# SPDX-FileCopyrightText: 2026 The Tavlo developers
# Makes the root file system a cross build of Tavlo compiles, links and runs
# its tests against: the target's C and C++ libraries, Qt 6 and liburing with
# their headers, unpacked from Debian's packages without running any of them.
# The last line printed is its path.
#
#   scripts/sysroot.sh arm64|armhf      (as root)
#
# The packages come through scripts/lib/target-apt.sh, so the machine's own dpkg
# never learns the target's architecture. Each sysroot is kept in the cache
# directory (TAVLO_SYSROOT_CACHE, /var/cache/tavlo-sysroot by default) under a
# key made of the package list and the dates of the package lists; one being
# made is locked, so that builds started side by side take turns. A package
# database of what was unpacked lies in its var/lib/dpkg/, for dpkg-shlibdeps
# (see scripts/sysroot/dpkg-query).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/lib/install-missing.sh"
source "$root/scripts/lib/target-apt.sh"

arch=${1:-}
case "$arch" in
arm64 | armhf) ;;
*)
    echo "usage: $0 arm64|armhf" >&2
    exit 2
    ;;
esac

# What Tavlo is built with, and what its tests need at run time, which they
# find nowhere else (the suite runs with the sysroot as its root, see
# scripts/in-sysroot.sh): Qt's platform plugins (offscreen), the font the
# windows are drawn in, Qt's own translations, and the on-screen keyboard
# with the QML modules it needs and a dictionary for its word prediction.
# Everything these depend on comes along.
sysroot_packages=(
    libc6-dev
    libstdc++-12-dev
    qt6-base-dev
    qt6-declarative-dev
    qt6-qpa-plugins
    liburing-dev
    libwayland-dev
    fonts-dejavu-core
    fontconfig-config
    qt6-translations-l10n
    qt6-virtualkeyboard-plugin
    libqt6quickwidgets6
    qml6-module-qtqml-workerscript
    qml6-module-qtquick-window
    qml6-module-qtquick-layouts
    qml6-module-qt-labs-folderlistmodel
    hunspell-en-us
)

install_missing mmdebstrap dpkg-dev
target_apt_update "$arch" || exit

cache_root=${TAVLO_SYSROOT_CACHE:-/var/cache/tavlo-sysroot}
key=$(printf '%s\n' "$arch" "${sysroot_packages[@]}" "$target_lists_id" \
    "$(cat "$0")" | sha256sum | cut -c1-16)
sysroot="$cache_root/$arch-$key"

# Records each unpacked package in the sysroot's dpkg database, as dpkg
# itself would have after installing it: its control fields, its list of
# files and its symbols and shlibs files.
register_packages() {
    local target=$1 deb name multiarch list
    local admin="$target/var/lib/dpkg"
    mkdir -p "$admin/info" "$admin/updates"
    echo 1 >"$admin/info/format"
    printf '%s\n' "$(dpkg --print-architecture)" "$arch" >"$admin/arch"
    : >"$admin/status"
    local control
    control=$(mktemp -d)
    for deb in "$target"/var/cache/apt/archives/*.deb; do
        name=$(dpkg-deb --field "$deb" Package)
        multiarch=$(dpkg-deb --field "$deb" Multi-Arch)
        list=$name
        [ "$multiarch" = same ] && list="$name:$arch"
        {
            dpkg-deb --field "$deb" | sed '/^Status:/d' | sed "1a Status: install ok installed"
            echo
        } >>"$admin/status"
        dpkg-deb --fsys-tarfile "$deb" | tar -t | sed 's,^\./,/,; s,/$,,; s,^$,/.,' >"$admin/info/$list.list"
        rm -rf "${control:?}"/*
        dpkg-deb --control "$deb" "$control"
        for file in symbols shlibs triggers; do
            [ -f "$control/$file" ] && cp "$control/$file" "$admin/info/$list.$file"
        done
    done
    rm -rf "$control"
}

mkdir -p "$cache_root"
exec 8>"$cache_root/$arch.lock"
flock 8
if [ -f "$sysroot/.complete" ]; then
    echo "sysroot $arch: cached in $sysroot" >&2
else
    echo "sysroot $arch: making $sysroot" >&2
    work="$cache_root/$arch-making"
    rm -rf "$work"
    include=$(
        IFS=,
        echo "${sysroot_packages[*]}"
    )
    mmdebstrap --variant=extract --mode=root --arch="$arch" --include="$include" \
        --skip=cleanup/apt/cache bookworm "$work" "${target_sources[@]}" </dev/null >&2
    register_packages "$work"
    # The machine's own devices and temporary directory are mounted in
    # where the tests run (scripts/in-sysroot.sh).
    rm -rf "${work:?}/var/cache/apt/archives/"*.deb "${work:?}/dev" "${work:?}/tmp"
    touch "$work/.complete"
    # Older sysroots of this architecture are of no more use, once no build
    # started from them can still be running.
    find "$cache_root" -maxdepth 1 -name "$arch-[0-9a-f]*" -mmin +180 -exec rm -rf {} +
    mv "$work" "$sysroot"
fi
flock -u 8
echo "$sysroot"
