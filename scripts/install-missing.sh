#!/usr/bin/env bash
# Defines install_missing, sourced by the other scripts: installs the Debian
# packages among its arguments that are not installed yet, with sudo unless
# run as root.

install_missing() {
    local missing=() package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' \
            || missing+=("$package")
    done
    ((${#missing[@]})) || return 0
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    echo "Installing: ${missing[*]}"
    # Installs started by these scripts side by side take turns; dpkg's own
    # lock is waited for too, should anything else hold it.
    local wait=(-o DPkg::Lock::Timeout=900)
    (
        flock -w 1800 9 || true
        "${sudo[@]}" apt-get "${wait[@]}" update -q
        DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get "${wait[@]}" install -y -q \
            --no-install-recommends "${missing[@]}"
    ) 9>"${TMPDIR:-/tmp}/tavlo-install.lock"
}
