#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# SPDX-FileCopyrightText: 2026 The Tavlo developers
# Takes the README's pictures of the real windows: builds Tavlo (as ./test
# does), writes a few notes into a scratch Documents/text/, and has
# tools/screenshots.cpp grab the main window listing them and the editor
# showing one, on the offscreen platform; the editor once more as a device
# without a window manager shows it, with its title strip. Then the main
# window and its Delete question again in each language of
# TAVLO_SCREENSHOT_LANGUAGES (de and ar by default: a language written left
# to right and one written right to left), as main-window-de.png and so on.
#
#   scripts/screenshots.sh [OUTPUT_DIR]    (docs/screenshots/ by default)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/setup.sh"

out=${1:-$root/docs/screenshots}
mkdir -p "$out"
out=$(cd "$out" && pwd)

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
notes="$scratch/Documents/text"
mkdir -p "$notes" "$scratch/runtime"
chmod 700 "$scratch/runtime"

# Named as New names them; listed in the order of their names.
cat >"$notes/2026-1-12-8-15-2.txt" <<'NOTE'
Shopping list
- oat milk
- rye bread
- apples, the sour ones
- coffee filters
- AA batteries
NOTE
cat >"$notes/2026-1-14-19-40-33.txt" <<'NOTE'
Books to read this year
1. The one about the lighthouse keeper
2. Anything by the author Jonas recommended
3. A field guide to mushrooms
NOTE
: >"$notes/2026-2-3-12-5-10.txt"
cat >"$notes/2026-2-20-7-58-41.txt" <<'NOTE'

Blue door, third floor, code 4711 — ask for Mrs. Ødegaard
NOTE
cat >"$notes/2026-3-1-21-12-0.txt" <<'NOTE'
Bike: new front brake pads, oil the chain, tyres to 3.5 bar
NOTE
cat >"$notes/2026-3-9-10-30-15.txt" <<'NOTE'
Lentil soup (serves four)

250 g red lentils, rinsed
1 onion and 2 carrots, diced
2 cloves of garlic
1 tsp cumin, 1 tsp smoked paprika
1 l vegetable stock
Juice of half a lemon

Soften the onion and carrots in a little oil for five minutes, add the
garlic and the spices for one more, then the lentils and the stock.
Simmer for 20 minutes until the lentils fall apart, blend half of it,
season, and finish with the lemon juice.
NOTE
cat >"$notes/2026-3-14-17-2-44.txt" <<'NOTE'
Call the dentist before Friday
NOTE
cat >"$notes/2026-4-2-9-45-7.txt" <<'NOTE'
Ideas for Mira's birthday
- a day at the climbing hall
- watercolour set
NOTE

cmake --build "$build" --target tavloScreenshots
cd "$scratch"
# The soup is current in the list and open in the editor.
for language in C ${TAVLO_SCREENSHOT_LANGUAGES-de ar}; do
    LANGUAGE=$language LANG=C.UTF-8 LC_ALL= QT_QPA_PLATFORM=offscreen \
        XDG_RUNTIME_DIR="$scratch/runtime" "$build/tools/tavloScreenshots" "$out" 2026-3-9-10-30-15.txt
done
