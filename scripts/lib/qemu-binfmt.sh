#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# SPDX-FileCopyrightText: 2026 The Tavlo developers
# Defines qemu_binfmt, sourced by the scripts that run an ARM target's
# programs on this machine (cross.sh for the cross suite, board.sh for the
# board's root file system):
#
#   qemu_binfmt aarch64|arm
#
# makes the kernel start that processor's programs through Debian's
# qemu-user-static (run as root): mounts binfmt_misc where it is not, and
# registers qemu from the package's own binfmt.d entry where it is not
# registered yet. That entry opens the interpreter at once (flag F), so the
# programs start inside a chroot too. Machines without systemd-binfmt
# running (containers, CI) have the entry but never load it.
qemu_binfmt() {
    local cpu=$1 entry=/usr/lib/binfmt.d/qemu-$1.conf
    local dir=/proc/sys/fs/binfmt_misc
    [ -e "$dir/register" ] || mount -t binfmt_misc binfmt_misc "$dir"
    if [ -e "$dir/qemu-$cpu" ]; then
        echo 1 >"$dir/qemu-$cpu"
        return 0
    fi
    if [ ! -f "$entry" ]; then
        echo "no $entry: is qemu-user-static installed?" >&2
        return 1
    fi
    cat "$entry" >"$dir/register"
}
