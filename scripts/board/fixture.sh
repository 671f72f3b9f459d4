#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# SPDX-FileCopyrightText: 2026 The Tavlo developers
# Writes the board's notes into DIR/Documents/text/: a few notes named as New
# names them, in a year that sorts before any note the board makes, the first
# of them unreadable (mode 000) to whoever is not root or drops root's
# override of file permissions; and a long list of 300 notes that sorts after
# any the board makes, for a finger to scroll through.
#
#   scripts/board/fixture.sh DIR
set -euo pipefail
notes="$1/Documents/text"
mkdir -p "$notes"

printf 'Locked away\n' >"$notes/2000-1-1-9-0-0.txt"
chmod 000 "$notes/2000-1-1-9-0-0.txt"
printf 'Shopping list\n- oat milk\n- rye bread\n- apples\n' >"$notes/2000-1-2-8-15-2.txt"
printf 'Call the dentist before Friday\n' >"$notes/2000-1-3-17-2-44.txt"
printf 'Lentil soup\n\n250 g red lentils\n1 onion, 2 carrots\n1 l stock\n' >"$notes/2000-1-4-12-30-0.txt"
: >"$notes/2000-1-5-7-0-0.txt"
printf 'Return the library books\n' >"$notes/2000-1-6-10-5-3.txt"
for n in $(seq -w 1 300); do
    printf 'Note %s\n' "$n" >"$notes/3000-1-1-0-0-$n.txt"
done
