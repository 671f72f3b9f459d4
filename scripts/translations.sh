#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# SPDX-FileCopyrightText: 2026 The Tavlo developers
# Brings the catalogues in translations/ up to date with the texts of the
# sources: lupdate adds every new text as unfinished and marks every text
# the sources no longer have as vanished, for a translator to settle
# (Qt Linguist, linguist-qt6, or any editor: the files are XML).
#
#   scripts/translations.sh            # update translations/tavlo_*.ts
#   scripts/translations.sh --check    # only say whether they are complete (CI)
#
# A new language xx starts with
#   /usr/lib/qt6/bin/lupdate -locations none app notes ui -source-language en \
#       -target-language xx -ts translations/tavlo_xx.ts
# and its name in the list of ui/CMakeLists.txt.
#
# --check fails when lupdate would leave a text unfinished or vanished. The
# catalogues keep no line numbers, so that a change of the sources that moves
# a text changes nothing in them.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/lib/install-missing.sh"
install_missing qt6-l10n-tools

lupdate=/usr/lib/qt6/bin/lupdate
cd "$root"
catalogues=(translations/tavlo_*.ts)

if [ "${1:-}" != --check ]; then
    "$lupdate" -silent -locations none app notes ui -ts "${catalogues[@]}"
    exit 0
fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp "${catalogues[@]}" "$scratch/"
"$lupdate" -silent -locations none app notes ui -ts "$scratch"/tavlo_*.ts
failures=0
for catalogue in "$scratch"/tavlo_*.ts; do
    name=translations/$(basename "$catalogue")
    unfinished=$(grep -c 'type="unfinished"' "$catalogue" || true)
    vanished=$(grep -Ec 'type="(vanished|obsolete)"' "$catalogue" || true)
    if ((unfinished + vanished)); then
        echo "$name: $unfinished text(s) to translate, $vanished no longer in the sources" >&2
        failures=$((failures + 1))
    fi
done
if ((failures)); then
    echo "Run scripts/translations.sh and translate what it marks unfinished." >&2
    exit 1
fi
echo "Catalogues complete: ${catalogues[*]}"
