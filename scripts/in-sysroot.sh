#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# SPDX-FileCopyrightText: 2026 The Tavlo developers
# Runs a program of an ARM build with the target's sysroot as its root file
# system, the way the device runs it: every path it looks up (Qt's plugins,
# QML modules and translations, the fonts, the loader and the libraries)
# resolves inside the sysroot and nowhere else. The kernel starts the
# target's programs through qemu-user (binfmt_misc; Debian's qemu-user-static
# registers it with the interpreter opened at once, so it needs no place in
# the root), and the programs they start themselves go the same way.
#
#   scripts/in-sysroot.sh SYSROOT PROGRAM [ARGUMENT...]
#
# The cross build's test runner (CMAKE_CROSSCOMPILING_EMULATOR) and
# scripts/cross.sh use it. It needs root for a mount namespace of its own
# and the change of root: run by anyone else it asks sudo, keeping the
# environment, and runs the program as that user again. The root is the
# sysroot, read-only, with a copy of its /etc holding the host's user and
# group lists; mounted into it at their own paths are the kernel's file
# systems (/proc, /sys, /dev), /tmp, the source tree and the working
# directory (which holds the build), and HOME, TMPDIR and XDG_RUNTIME_DIR
# where they are set.
#
# qemu's own way of putting a sysroot first (QEMU_LD_PREFIX, -L) is not used:
# qemu-user 7.2 applies it to open() and stat() but not to statx(), which Qt
# asks whether a directory exists, so Qt looks in the host's directories for
# its plugins and finds the target's only where the host happens to hold a
# copy of them.
set -euo pipefail

if [ "${1:-}" = --inside ]; then
    # In the mount namespace made below.
    shift
    sysroot=$1 root_dir=$2 work_dir=$3
    shift 3
    # The new root: a file system in memory holding the sysroot's own
    # directories, read-only, and its /etc as a copy, which takes the user
    # and group lists beside it. (An overlay on the sysroot would need
    # CAP_DAC_OVERRIDE, which a caller may have dropped on purpose: the
    # program runs with the capabilities this script was given.)
    new=/mnt
    mount -t tmpfs -o mode=755 tavlo-target "$new"
    for entry in "$sysroot"/* "$sysroot"/.[!.]*; do
        [ -e "$entry" ] || [ -L "$entry" ] || continue
        name=${entry##*/}
        if [ -L "$entry" ]; then
            cp -P "$entry" "$new/$name"
        elif [ "$name" = etc ]; then
            cp -a "$entry" "$new/etc"
        elif [ -d "$entry" ]; then
            mkdir "$new/$name"
            mount --rbind -o ro "$entry" "$new/$name"
        fi
    done
    cp /etc/passwd /etc/group "$new/etc/"
    host_multiarch=$(dpkg-architecture -qDEB_BUILD_MULTIARCH)
    if [ -e "$new/usr/lib/$host_multiarch" ]; then
        echo "in-sysroot: $sysroot holds the host's libraries ($host_multiarch); refusing to run in it" >&2
        exit 1
    fi
    bound=()
    bind() {
        local source=$1 target=$new$1 done
        [ -e "$source" ] || return 0
        # What lies inside a directory bound already is there with it.
        for done in "${bound[@]}"; do
            case "$source/" in "$done"/*) return 0 ;; esac
        done
        if [ -d "$source" ]; then
            mkdir -p "$target"
        elif [ ! -e "$target" ]; then
            mkdir -p "$(dirname "$target")" && : >"$target"
        fi
        mount --rbind "$source" "$target"
        bound+=("$source")
    }
    mkdir -p "$new/proc"
    mount -t proc proc "$new/proc"
    for path in /sys /dev /tmp "$root_dir" "$work_dir" \
        ${HOME:+"$HOME"} ${TMPDIR:+"$TMPDIR"} ${XDG_RUNTIME_DIR:+"$XDG_RUNTIME_DIR"}; do
        bind "$(realpath -m "$path")"
    done
    as=()
    if [ -n "${TAVLO_IN_SYSROOT_AS:-}" ]; then
        as=(--setuid "${TAVLO_IN_SYSROOT_AS%:*}" --setgid "${TAVLO_IN_SYSROOT_AS#*:}")
        unset TAVLO_IN_SYSROOT_AS
    fi
    exec unshare --root="$new" --wd="$work_dir" "${as[@]}" -- "$@"
fi

sysroot=${1:?usage: $0 SYSROOT PROGRAM [ARGUMENT...]}
shift
[ "$#" -gt 0 ] || {
    echo "usage: $0 SYSROOT PROGRAM [ARGUMENT...]" >&2
    exit 2
}
sysroot=$(realpath "$sysroot")
if [ "$(id -u)" -ne 0 ]; then
    exec sudo --preserve-env TAVLO_IN_SYSROOT_AS="$(id -u):$(id -g)" "$(realpath "${BASH_SOURCE[0]}")" \
        "$sysroot" "$@"
fi
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
exec unshare --mount --propagation private -- "$(realpath "${BASH_SOURCE[0]}")" --inside \
    "$sysroot" "$root" "$PWD" "$@"
