#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# SPDX-FileCopyrightText: 2026 The Tavlo developers
# Plays the emulated board's scenarios (scripts/board/scenarios.txt) on the
# offscreen platform, as scripts/board.sh does before it boots the board: the
# tool fails when a step does not find its control or a check of the notes
# does not hold; here every screen is checked to be recorded at the board's
# size. A change of the windows that breaks a scenario fails here, in the
# suite, not only on the board.
#
#   boardScenes.sh TOOL SOURCE_DIR [EMULATOR...]
set -euo pipefail
tool=$(realpath "$1")
root=$2
shift 2
source "$root/scripts/lib/statuses.sh"
scenarios="$root/scripts/board/scenarios.txt"

scratch=$(mktemp -d)
trap 'chmod -R u+rwX "$scratch"; rm -rf "$scratch"' EXIT
"$root/scripts/board/fixture.sh" "$scratch/home"
mkdir -m 700 "$scratch/runtime"
# Root reads the unreadable note unless it drops its override of permissions.
drop=()
if [ "$(id -u)" -eq 0 ]; then
    drop=(setpriv --inh-caps=-dac_override,-dac_read_search
        --bounding-set=-dac_override,-dac_read_search)
fi
(cd "$scratch/home" && LANG=C TZ=UTC XDG_RUNTIME_DIR="$scratch/runtime" \
    "${drop[@]}" "$@" "$tool" render "$scenarios" "$scratch/out" 800x480 >"$scratch/log" 2>&1) \
    || {
        status=$?
        grep -v 'does not support propagateSizeHints' "$scratch/log" >&2
        # No on-screen keyboard here (Qt Virtual Keyboard not installed).
        [ "$status" -eq "$status_skip" ] && exit "$status_skip"
        echo "boardScenes: the scenarios did not play" >&2
        exit 1
    }

# The tool made the scenarios' checks of the notes itself; here, what the
# board's driver takes from it: every picture at the board's size, with the
# places of its controls, and the steps.
failures=0
fail() {
    echo "boardScenes: $*" >&2
    failures=$((failures + 1))
}
for picture in "$scratch/out"/*.png; do
    snap=$(basename "$picture" .png)
    [ -s "$scratch/out/$snap.json" ] || fail "no places recorded for $snap"
    # A PNG's width and height stand in its header, big-endian, from byte 16.
    read -r -a header < <(od -An -tu1 -j16 -N8 "$picture")
    width=$(((header[0] << 24) + (header[1] << 16) + (header[2] << 8) + header[3]))
    height=$(((header[4] << 24) + (header[5] << 16) + (header[6] << 8) + header[7]))
    [ "${width}x$height" = 800x480 ] || fail "$snap is a picture of ${width}x$height, not 800x480"
done
[ -s "$scratch/out/steps.json" ] || fail "no steps written"
# Each check carries what the board's notes must then be.
unchecked=$(python3 -c 'import json, sys
print(sum(1 for s in json.load(open(sys.argv[1])) if s["verb"] == "check" and not s.get("expect")))' \
    "$scratch/out/steps.json") || unchecked=all
[ "$unchecked" = 0 ] || fail "$unchecked checks carry nothing for the board to compare"
((failures == 0)) || exit 1
echo "boardScenes: $(ls "$scratch/out"/*.png | wc -l) screens"
