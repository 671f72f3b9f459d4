#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# SPDX-FileCopyrightText: 2026 The Tavlo developers
# Makes Tavlo's Debian package from a configured build directory and checks
# it: its control fields (architecture, and Depends naming the Qt 6 runtime
# libraries as dpkg-shlibdeps found them), its files (the program, the menu
# entry, its AppStream metadata and the icons, the manual page, copyright and
# changelog, the program built for the package's architecture), and what
# lintian says of it: any error or warning fails, as does anything
# appstreamcli finds in the metadata beyond pedantic notes.
#
#   scripts/package.sh [BUILD_DIR]
#
# BUILD_DIR is build/ by default; a cross build directory such as
# build-arm64/ or build-armhf/ works the same: dpkg-shlibdeps then finds the
# target's libraries, and the packages holding them, in its sysroot.
# The package is left in BUILD_DIR/packages/, and its path is the last line
# printed.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/lib/install-missing.sh"

# dpkg-shlibdeps works out Depends; cpack picks the binaries out with file.
install_missing dpkg-dev file desktop-file-utils lintian appstream

build=${1:-$root/build}
if [ ! -f "$build/CPackConfig.cmake" ]; then
    echo "$build is not a configured Tavlo build directory (it has no CPackConfig.cmake)" >&2
    exit 2
fi
build=$(cd "$build" && pwd)

# The package holds what the sources say now.
cmake --build "$build"

config_value() {
    sed -n "s/^set($1 \"\\(.*\\)\")\$/\\1/p" "$build/CPackConfig.cmake"
}
arch=$(config_value CPACK_DEBIAN_PACKAGE_ARCHITECTURE)
version=$(config_value CPACK_PACKAGE_VERSION)
if [ -z "$arch" ]; then
    echo "$build names no package architecture: configure it with -DTAVLO_DEB_ARCHITECTURE=..." >&2
    exit 2
fi

out="$build/packages"
rm -f "$out"/tavlo_*.deb
(cd "$build" && cpack -G DEB -B "$out")
deb="$out/tavlo_${version}_${arch}.deb"

failures=0
fail() {
    echo "package check: $*" >&2
    failures=$((failures + 1))
}

if [ ! -f "$deb" ]; then
    echo "cpack made no $deb" >&2
    exit 1
fi

echo
dpkg-deb --info "$deb"
echo

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = tavlo ] || fail "Package is '$(field Package)', not tavlo"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', not $version"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture is '$(field Architecture)', not $arch"
[ "$(field Section)" = utils ] || fail "Section is '$(field Section)', not utils"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Description)" ] || fail "no Description"
depends=$(field Depends)
# The package names in Depends, one a line, without versions, architecture
# qualifiers or alternatives' bars.
depends_names=$(sed 's/([^)]*)//g; s/|/,/g' <<<"$depends" | tr ',' '\n' | sed 's/^ *//; s/[ :].*//')
for package in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 qt6-qpa-plugins liburing2; do
    grep -qxF "$package" <<<"$depends_names" || fail "Depends does not name $package: $depends"
done

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
dpkg-deb --extract "$deb" "$scratch"
for file in usr/bin/tavlo \
    usr/share/applications/io.github.tavlo.Tavlo.desktop \
    usr/share/icons/hicolor/scalable/apps/tavlo.svg \
    usr/share/icons/hicolor/48x48/apps/tavlo.png \
    usr/share/icons/hicolor/128x128/apps/tavlo.png \
    usr/share/icons/hicolor/256x256/apps/tavlo.png \
    usr/share/metainfo/io.github.tavlo.Tavlo.metainfo.xml \
    usr/share/man/man1/tavlo.1.gz \
    usr/share/doc/tavlo/copyright \
    usr/share/doc/tavlo/changelog.gz; do
    [ -f "$scratch/$file" ] || fail "no $file"
done
[ -x "$scratch/usr/bin/tavlo" ] || fail "usr/bin/tavlo is not executable"
if [ -f "$scratch/usr/share/applications/io.github.tavlo.Tavlo.desktop" ]; then
    desktop-file-validate "$scratch/usr/share/applications/io.github.tavlo.Tavlo.desktop" \
        || fail "the menu entry does not validate"
fi

metainfo="$scratch/usr/share/metainfo/io.github.tavlo.Tavlo.metainfo.xml"
if [ -f "$metainfo" ]; then
    # Only pedantic notes (P:) may remain.
    if ! report=$(appstreamcli validate --no-net --no-color "$metainfo" 2>&1) \
        || grep -qE '^[EWI]: ' <<<"$report"; then
        echo "$report" >&2
        fail "appstreamcli does not accept the AppStream metadata"
    fi
fi
if [ -f "$scratch/usr/share/doc/tavlo/changelog.gz" ]; then
    logged=$(zcat "$scratch/usr/share/doc/tavlo/changelog.gz" | sed -n '1s/^tavlo (\([^)]*\)).*/\1/p')
    [ "$logged" = "$version" ] \
        || fail "the changelog's latest entry is for '$logged', not $version: add one to data/package/changelog"
fi

# The program is built for the package's architecture, and stripped.
if [ -f "$scratch/usr/bin/tavlo" ]; then
    kind=$(file --brief "$scratch/usr/bin/tavlo")
    case "$arch" in
    amd64) machine='x86-64' ;;
    arm64) machine='ARM aarch64' ;;
    armhf | armel) machine='ARM, EABI5' ;;
    i386) machine='Intel 80386' ;;
    *) machine='' ;;
    esac
    if [ -n "$machine" ] && [[ "$kind" != *"$machine"* ]]; then
        fail "usr/bin/tavlo is not a $arch program: $kind"
    fi
    [[ "$kind" == *", stripped"* ]] || fail "usr/bin/tavlo is not stripped: $kind"
fi

# Debian 12's lintian, default profile. It warns that it runs as root, which
# CI does; that is no finding.
echo "lintian $deb"
status=0
report=$(lintian --fail-on error,warning "$deb" 2>&1) || status=$?
grep -vx 'running with root privileges is not recommended!' <<<"$report" || true
((status == 0)) || fail "lintian reports errors or warnings"

if ((failures)); then
    echo "$deb: $failures check(s) failed" >&2
    exit 1
fi
echo "Package checked: $arch, Depends: $depends"
echo "$deb"
