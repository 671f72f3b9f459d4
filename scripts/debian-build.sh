#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# SPDX-FileCopyrightText: 2026 The Tavlo developers
# Builds Tavlo's Debian packages from debian/, the way Debian builds them,
# and checks them with lintian: any error or warning fails.
#
#   scripts/debian-build.sh [SBUILD_OPTION...]   # amd64, in a clean chroot
#   scripts/debian-build.sh arm64|armhf          # cross-built for the device
#   scripts/debian-build.sh chroot               # only the chroot's tarball, where missing
#
# For this machine's architecture the source package (3.0 quilt: the
# upstream tarball and debian/) is made from the working tree's files
# (git's, less what it ignores) and sbuild
# builds it in unshare mode in a clean Debian 12 chroot that holds nothing
# but build-essential and the declared build dependencies, with the suite run
# during the build; options such as --profiles=nocheck go to sbuild. The
# chroot's tarball is made once by mmdebstrap and kept in the cache directory
# (TAVLO_DEBIAN_CACHE, /var/cache/tavlo-debian by default) under the date of
# the bookworm release it holds, with the packages downloaded into the
# chroots (sbuild's and autopkgtest's) beside it.
#
# For arm64 and armhf the packages are cross-built from the same debian/ with
# dpkg-buildpackage -a ARCH and the cross and nocheck build profiles, against
# the target's sysroot of scripts/sysroot.sh (the machine's dpkg is not asked
# to take the target's architecture, so its build dependencies are not
# checked against it: they are in the sysroot). Exits with $status_mirror
# (scripts/lib/statuses.sh) when the mirror cannot give the target's packages
# at all.
#
# Everything is left in build-deb/ARCH/; the last line printed is the path
# of the .changes file.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/lib/install-missing.sh"
source "$root/scripts/lib/statuses.sh"

build_arch=$(dpkg --print-architecture)
arch=$build_arch
chroot_only=
case "${1:-}" in
arm64 | armhf)
    arch=$1
    shift
    ;;
chroot)
    chroot_only=1
    shift
    ;;
esac
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
cache=${TAVLO_DEBIAN_CACHE:-/var/cache/tavlo-debian}
out="$root/build-deb/$arch"

phase_start=$SECONDS
phase() {
    echo "debian $arch: $1 took $((SECONDS - phase_start)) s" >&2
    phase_start=$SECONDS
}

install_missing dpkg-dev lintian
version=$(dpkg-parsechangelog -l "$root/debian/changelog" -S Version)
upstream=${version%-*}
tree="$out/tavlo-$upstream"

# The sources as the working tree has them, into a tree of their own: what
# git tracks or would track, nothing it ignores (build directories). The
# tree is kept, so a cross build's build directory in it is reused.
copy_sources() {
    mkdir -p "$tree"
    find "$tree" -mindepth 1 -maxdepth 1 ! -name 'obj-*' -exec rm -rf {} +
    # The files keep their times, so that make builds on only what changed.
    (cd "$root" && git ls-files -z --cached --others --exclude-standard |
        tar --null --files-from=- --ignore-failed-read -cf - 2>/dev/null) | tar -xf - -C "$tree"
}

lintian_check() {
    local changes=$1 status=0 report
    echo "lintian $changes" >&2
    # It warns that it runs as root, which CI does; that is no finding.
    report=$(lintian --fail-on error,warning --pedantic --display-info --display-experimental \
        "$changes" 2>&1) || status=$?
    grep -vx 'running with root privileges is not recommended!' <<<"$report" >&2 || true
    if ((status != 0)); then
        echo "debian $arch: lintian reports errors or warnings" >&2
        return 1
    fi
}

if [ "$arch" != "$build_arch" ]; then
    case "$arch" in
    arm64) triple=aarch64-linux-gnu ;;
    armhf) triple=arm-linux-gnueabihf ;;
    esac
    # The build machine's part of the build dependencies, and the cross
    # compiler; the target's part is in the sysroot.
    install_missing debhelper cmake pkg-config qt6-base-dev qt6-base-dev-tools qt6-l10n-tools \
        "g++-$triple"
    status=0
    sysroot=$("${sudo[@]}" "$root/scripts/sysroot.sh" "$arch" | tail -n 1) || status=$?
    if ((status == status_mirror)); then
        echo "debian $arch: the mirror cannot give the target's packages as it is now;" \
            "nothing was built" >&2
        exit "$status_mirror"
    elif ((status != 0)); then
        exit "$status"
    fi
    phase sysroot
    # A build directory configured against an older sysroot is made afresh.
    if ! grep -qxF "TAVLO_SYSROOT:PATH=$sysroot" "$tree/obj-$triple/CMakeCache.txt" 2>/dev/null; then
        rm -rf "$tree/obj-$triple"
    fi
    copy_sources
    rm -f "$out"/*.deb "$out"/*.changes "$out"/*.buildinfo
    # -nc: a build directory left from the last run is built on, not made
    # afresh; -d: the target's build dependencies are in the sysroot.
    (cd "$tree" && TAVLO_SYSROOT="$sysroot" CC="$triple-gcc" CXX="$triple-g++" \
        DEB_BUILD_OPTIONS="nocheck parallel=$(nproc)" \
        dpkg-buildpackage -a "$arch" -Pcross,nocheck -d -nc -b -us -uc) >&2
    phase "cross build"
    changes="$out/tavlo_${version}_$arch.changes"
    lintian_check "$changes"
    phase lintian
    echo "$changes"
    exit 0
fi

# --- The clean chroot build -----------------------------------------------
install_missing sbuild mmdebstrap uidmap
# sbuild's unshare mode maps the chroot's users to subordinate ids of the
# user running it.
user=$(id -un)
if ! grep -q "^$user:" /etc/subuid || ! grep -q "^$user:" /etc/subgid; then
    echo "debian: giving $user subordinate user and group ids for the chroots" >&2
    "${sudo[@]}" usermod --add-subuids 1000000-1065535 --add-subgids 1000000-1065535 "$user"
fi

# The chroot tarball, made afresh with each point release of bookworm (the
# build dependencies come in as the lists have them at each build; the rest
# of the chroot is not upgraded, which a build does not need).
# The downloaded packages' directory belongs to the chroots' root, the first
# subordinate ids.
"${sudo[@]}" mkdir -p "$cache/archives/partial"
"${sudo[@]}" chown "$(id -u):$(id -g)" "$cache"
"${sudo[@]}" chown -R "$(sed -n "s/^$user:\([0-9]*\):.*/\1/p" /etc/subuid | head -n 1):$(
    sed -n "s/^$user:\([0-9]*\):.*/\1/p" /etc/subgid | head -n 1)" "$cache/archives"
apt_update
release=$(sed -n 's/^Date: //p' /var/lib/apt/lists/*_dists_bookworm_InRelease 2>/dev/null |
    head -n 1 | date -u -f - +%Y%m%d 2>/dev/null || true)
tarball="$cache/bookworm-$build_arch-${release:-undated}.tar"
# Builds started side by side take turns making it.
exec 8>"$cache/chroot.lock"
flock 8
if [ ! -f "$tarball" ]; then
    echo "debian: making the chroot $tarball" >&2
    mmdebstrap --variant=buildd --skip=output/mknod \
        --aptopt='Acquire::Languages "none"' bookworm "$cache/making-${tarball##*/}" \
        "deb http://deb.debian.org/debian bookworm main" \
        "deb http://deb.debian.org/debian bookworm-updates main" \
        "deb http://deb.debian.org/debian-security bookworm-security main" >&2
    mv "$cache/making-${tarball##*/}" "$tarball"
    find "$cache" -maxdepth 1 -name "bookworm-$build_arch-*.tar" ! -path "$tarball" -delete
fi
flock -u 8
phase chroot
[ -n "$chroot_only" ] && exit 0

copy_sources
rm -f "$out"/*.dsc "$out"/*.tar.* "$out"/*.deb "$out"/*.changes "$out"/*.buildinfo "$out"/*.build
# The upstream tarball: the same files less debian/, in a tarball that the
# same sources always give byte for byte (names sorted, times and owners
# fixed at the changelog's date).
epoch=$(dpkg-parsechangelog -l "$root/debian/changelog" -S Timestamp)
(cd "$out" && find "tavlo-$upstream" -path "tavlo-$upstream/debian" -prune -o -print0 |
    LC_ALL=C sort -z |
    tar --null --no-recursion --files-from=- --mtime="@$epoch" --clamp-mtime --owner=0 --group=0 \
        --numeric-owner --pax-option=exthdr.name=%d/PaxHeaders/%f,delete=atime,delete=ctime -cf - |
    xz -6 -T1 >"tavlo_$upstream.orig.tar.xz")
(cd "$out" && dpkg-source -b "tavlo-$upstream") >&2
phase "source package"

# sbuild's configuration: the package is built by the chroot's user sbuild,
# not root, as on Debian's builders, whoever runs this; the downloaded
# packages are kept for the next build (only the .debs; what is installed is
# still exactly what control declares).
config=$(mktemp)
trap 'rm -f "$config"' EXIT
cat >"$config" <<EOF
\$build_user = 'sbuild';
\$unshare_bind_mounts = [ { directory => '$cache/archives', mountpoint => '/var/cache/apt/archives' } ];
1;
EOF
status=0
(cd "$out" && SBUILD_CONFIG="$config" sbuild --chroot-mode=unshare --chroot="$tarball" \
    --dist=bookworm --arch="$build_arch" --source --jobs="$(nproc)" \
    --no-run-lintian --no-run-piuparts --no-run-autopkgtest --no-apt-upgrade --no-apt-distupgrade \
    "$@" "tavlo_$version.dsc") >&2 || status=$?
phase "chroot build"
if ((status != 0)); then
    echo "debian: the build failed; its log is $(ls "$out"/*.build 2>/dev/null | head -n 1)" >&2
    exit "$status"
fi
changes="$out/tavlo_${version}_$build_arch.changes"
lintian_check "$changes"
phase lintian
echo "$changes"
