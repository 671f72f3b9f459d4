#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# SPDX-FileCopyrightText: 2026 The Tavlo developers
# Defines install_missing, sourced by the other scripts: installs the Debian
# packages among its arguments that are not installed yet, with sudo unless
# run as root. Also apt_update, which reads the package lists afresh.

# Installs started by these scripts side by side take turns on one lock
# file; dpkg's own lock is waited for too, should anything else hold it. A
# mirror caught mid-sync fails a download now and then, so reading the lists
# is tried again, and then what could be read is used.
_apt_locked() {
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    (
        flock -w 1800 9 || true
        DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get -o DPkg::Lock::Timeout=900 "$@"
    ) 9>"${TMPDIR:-/tmp}/tavlo-install.lock"
}

apt_update() {
    local try
    for try in 1 2 3; do
        _apt_locked update -q && return 0
        echo "apt-get update failed (try $try of 3)" >&2
        sleep $((try * 5))
    done
    # What could be read is used; an install that needs the rest fails on
    # its own.
    echo "apt-get update: going on with the package lists as they are" >&2
}

install_missing() {
    local missing=() package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' \
            || missing+=("$package")
    done
    ((${#missing[@]})) || return 0
    echo "Installing: ${missing[*]}"
    apt_update
    _apt_locked install -y -q --no-install-recommends "${missing[@]}"
}
