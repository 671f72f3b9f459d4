#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# SPDX-FileCopyrightText: 2026 The Tavlo developers
# Renders data/icons/tavlo.svg into the PNG sizes installed beside it
# (data/icons/tavlo-SIZE.png). The PNGs are committed, so building and
# installing Tavlo needs no SVG renderer; run this after changing the SVG.
#
#   scripts/render-icons.sh          renders the PNGs
#   scripts/render-icons.sh --check  fails if a committed PNG does not look
#                                    like what the SVG renders to: pixels are
#                                    compared within a small tolerance, since
#                                    another version of the renderer draws
#                                    edges slightly differently
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/lib/install-missing.sh"

check=false
case "${1:-}" in
--check) check=true ;;
"") ;;
*)
    echo "usage: $0 [--check]" >&2
    exit 2
    ;;
esac

install_missing librsvg2-bin

icons="$root/data/icons"
out="$icons"
if $check; then
    out=$(mktemp -d)
    trap 'rm -rf "$out"' EXIT
    source "$root/scripts/lib/setup.sh"
    cmake --build "$build" --target tavloImageDiff
fi

stale=0
for size in 48 128 256; do
    rsvg-convert --width "$size" --height "$size" --format png \
        --output "$out/tavlo-$size.png" "$icons/tavlo.svg"
    if ! $check; then
        echo "data/icons/tavlo-$size.png"
    elif ! "$build/tools/tavloImageDiff" "$icons/tavlo-$size.png" "$out/tavlo-$size.png"; then
        echo "data/icons/tavlo-$size.png does not look like what data/icons/tavlo.svg" \
            "renders to; run scripts/render-icons.sh" >&2
        stale=1
    fi
done
if $check && ((stale == 0)); then
    echo "The icon PNGs are up to date with data/icons/tavlo.svg."
fi
exit "$stale"
