#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# SPDX-FileCopyrightText: 2026 The Tavlo developers
# Plays the emulated board's scenarios (scripts/board/scenarios.txt) on the
# offscreen platform, as scripts/board.sh does before it boots the board, and
# checks that every step found its controls, that every screen was recorded
# at the board's size, and that the notes ended as the scenarios' checks
# say. A change of the windows that breaks a scenario fails here, in the
# suite, not only on the board.
#
#   boardScenes.sh TOOL SOURCE_DIR [EMULATOR...]
set -euo pipefail
tool=$(realpath "$1")
root=$2
shift 2
scenarios="$root/scripts/board/scenarios.txt"

scratch=$(mktemp -d)
trap 'chmod -R u+rwX "$scratch"; rm -rf "$scratch"' EXIT
"$root/scripts/board/fixture.sh" "$scratch/home"
"$root/scripts/board/fixture.sh" "$scratch/fixture"
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
        # 77: no on-screen keyboard here (Qt Virtual Keyboard not installed).
        [ "$status" -eq 77 ] && exit 77
        echo "boardScenes: the scenarios did not play" >&2
        exit 1
    }

failures=0
fail() {
    echo "boardScenes: $*" >&2
    failures=$((failures + 1))
}

while read -r snap; do
    [ -s "$scratch/out/$snap.json" ] || fail "no places recorded for $snap"
    # A PNG's width and height stand in its header, big-endian, from byte 16.
    read -r -a header < <(od -An -tu1 -j16 -N8 "$scratch/out/$snap.png")
    width=$(((header[0] << 24) + (header[1] << 16) + (header[2] << 8) + header[3]))
    height=$(((header[4] << 24) + (header[5] << 16) + (header[6] << 8) + header[7]))
    size="${width}x$height"
    [ "$size" = 800x480 ] || fail "$snap is a picture of $size, not 800x480"
done < <(sed -n 's/^snap //p' "$scenarios")

notes="$scratch/home/Documents/text"
new_texts=()
while read -r kind argument; do
    case "$kind" in
    gone) [ ! -e "$notes/$argument" ] || fail "$argument was not deleted" ;;
    same) cmp -s "$notes/$argument" "$scratch/fixture/Documents/text/$argument" \
        || fail "$argument changed" ;;
    holds) cmp -s "$notes/${argument%% *}" <(printf '%b' "${argument#* }") \
        || fail "${argument%% *} does not hold what was typed" ;;
    new) new_texts+=("$argument") ;;
    gone-new) unset 'new_texts[-1]' ;;
    *) fail "unknown check: $kind" ;;
    esac
done < <(sed -n 's/^check //p' "$scenarios")

# The notes that are not the fixture's hold the texts typed, one each.
made=$(cd "$notes" && for note in *; do
    [[ "$note" == [23]000-* ]] || sha256sum <"$note"
done | sort)
expected=$(for text in "${new_texts[@]}"; do printf '%b' "$text" | sha256sum; done | sort)
[ "$made" = "$expected" ] || fail "the new notes do not hold the texts typed, one each"

((failures == 0)) || exit 1
echo "boardScenes: $(grep -c '^snap ' "$scenarios") screens and $(grep -c '^check ' "$scenarios") checks"
