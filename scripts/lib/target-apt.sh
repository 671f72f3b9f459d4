#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# SPDX-FileCopyrightText: 2026 The Tavlo developers
# Defines target_apt_update, sourced by the scripts that fetch Debian
# packages of an ARM target (sysroot.sh, board.sh) without adding the target's
# architecture to this machine's dpkg.
#
#   target_apt_update ARCH
#
# reads ARCH's package lists into a private apt state (TAVLO_APT_STATE,
# /var/cache/tavlo-apt by default; run as root), from bookworm and
# bookworm-updates, and from bookworm-security where the mirror's index of it
# for ARCH is sound. Seen in December 2026: the mirror's armhf index of the
# security archive did not match its Release file, and apt refuses the whole
# archive then. The target's packages must not need it, so it is left out
# when it fails. Sets
#   target_sources  the archives read, one apt source line each (mmdebstrap takes them)
#   target_apt      the options that make apt-get and apt-cache use that state
#   target_lists_id the archives and the dates of their lists, for cache keys
# and says so and returns $status_mirror (statuses.sh) when even bookworm and bookworm-updates cannot be
# read.

source "$(dirname "${BASH_SOURCE[0]}")/statuses.sh"

target_apt_update() {
    local arch=$1
    local state=${TAVLO_APT_STATE:-/var/cache/tavlo-apt}/$arch
    local mirror=http://deb.debian.org
    local main=("deb $mirror/debian bookworm main" "deb $mirror/debian bookworm-updates main")
    local security="deb $mirror/debian-security bookworm-security main"
    mkdir -p "$state/lists/partial" "$state/archives/partial" "$state/parts"
    # Nothing installed, nothing pinned, none of the machine's own sources.
    : >"$state/status"
    target_apt=(
        -o "APT::Architecture=$arch" -o "APT::Architectures=$arch"
        -o "Dir::State=$state" -o "Dir::State::Lists=$state/lists" -o "Dir::State::status=$state/status"
        -o "Dir::Cache=$state" -o "Dir::Cache::Archives=$state/archives"
        -o Dir::Cache::pkgcache= -o Dir::Cache::srcpkgcache=
        -o "Dir::Etc::SourceList=$state/sources.list" -o "Dir::Etc::SourceParts=$state/parts"
        -o "Dir::Etc::Preferences=$state/preferences" -o "Dir::Etc::PreferencesParts=$state/parts"
        -o Acquire::Languages=none -o APT::Get::List-Cleanup=1
    )
    local try
    (
        flock 9
        for try in 1 2 3; do
            printf '%s\n' "${main[@]}" "$security" >"$state/sources.list"
            apt-get "${target_apt[@]}" -q update && exit 0
            printf '%s\n' "${main[@]}" >"$state/sources.list"
            rm -f "$state/lists/"*debian-security*
            if apt-get "${target_apt[@]}" -q update; then
                echo "target apt $arch: the mirror's bookworm-security index for $arch cannot be" \
                    "read; going on with bookworm and bookworm-updates alone" >&2
                exit 0
            fi
            sleep $((try * 5))
        done
        exit "$status_mirror"
    ) 9>"$state.lock" || {
        local status=$?
        ((status != status_mirror)) || echo "target apt $arch: the mirror's package lists for $arch cannot be read" >&2
        return "$status"
    }
    mapfile -t target_sources <"$state/sources.list"
    target_lists_id=$(printf '%s\n' "${target_sources[@]}"
        sed -n 's/^Date: //p' "$state/lists/"*_InRelease)
}
