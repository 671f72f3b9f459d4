#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# SPDX-FileCopyrightText: 2026 The Tavlo developers
# The soak: builds Tavlo's notes library and windows with AddressSanitizer and
# UndefinedBehaviorSanitizer in build-sanitize/, then drives the real windows on
# the offscreen platform through random user actions while other programs
# change the notes underneath, checking every step against a model of what
# must be on disk and on the screen (tests/soak.cpp).
#
#   scripts/soak.sh [SECONDS] [--seed S]     # 60 seconds, a random seed
#
# The same seed replays the same steps. A divergence prints the shortest run
# of steps found that still shows it. Run as root, the notes live on a small
# tmpfs in a private mount namespace, which is filled now and then; otherwise
# the disk is never full. The last line reads "soak: N actions, M outside
# changes, K divergences, seed S"; the exit status is non-zero on a divergence
# or a sanitizer's report.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/lib/install-missing.sh"

seconds=60
seed=$(od -An -N4 -tu4 /dev/urandom | tr -d ' ')
while (($#)); do
    case "$1" in
    --seed) seed=$2 && shift 2 ;;
    [0-9]*) seconds=$1 && shift ;;
    *) echo "usage: $0 [SECONDS] [--seed S]" >&2 && exit 2 ;;
    esac
done

install_missing cmake ninja-build g++ qt6-base-dev qt6-qpa-plugins fonts-dejavu-core liburing-dev \
    util-linux
# The sanitized suite's build (scripts/sanitize.sh), configured alike: after
# it, as in CI, nothing is left to build.
build="$root/build-sanitize"
started=$SECONDS
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVLO_SANITIZE=ON >/dev/null
cmake --build "$build" --target tavloSoak
echo "soak: built in $((SECONDS - started)) s"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/runtime" "$scratch/home" && chmod 700 "$scratch/runtime"
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$scratch/runtime" HOME="$scratch/home"
export XDG_DATA_HOME="$scratch/home/.local/share"
# Drafts are kept off the small disk: one removed would free space the model
# does not count.
export XDG_STATE_HOME="$scratch/state"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1"
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
soak="$build/tests/tavloSoak"
status=0
if [ "$(id -u)" -eq 0 ] && unshare -m true 2>/dev/null; then
    # Notes, trash and the file that fills the disk share one small tmpfs.
    unshare -m --propagation private sh -c \
        'mount -t tmpfs -o size=8m tavlo-soak "$1" && mkdir -p "$HOME" && cd "$1" && exec "$2" "$3" "$4" "$1/filler"' \
        sh "$scratch/home" "$soak" "$seconds" "$seed" || status=$?
else
    mkdir -p "$HOME" && (cd "$HOME" && "$soak" "$seconds" "$seed") || status=$?
fi
if ((status > 1)); then
    echo "soak: the run was stopped with status $status (a sanitizer's report?), seed $seed"
fi
exit "$status"
