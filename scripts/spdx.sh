#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# SPDX-FileCopyrightText: 2026 The Tavlo developers
# Puts the licence and copyright lines at the top of every source file,
# script and build file of the project, in the file's own comment syntax
# (after a #! line or an XML declaration, which must stay first):
#
#   // SPDX-License-Identifier: MIT
#   // SPDX-FileCopyrightText: 2026 The Tavlo developers
#
#   scripts/spdx.sh            adds them where they are missing
#   scripts/spdx.sh --check    changes nothing, and fails if a file lacks them (CI)
#
# Files of git's index are looked at; what is not written as source (pictures,
# test data, the catalogues lupdate rewrites, the Debian changelog and
# copyright, LICENSE and the README) is left alone. Running it again changes
# nothing.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

# The whole script is read before it runs: it may rewrite this very file.
main() {
    license='SPDX-License-Identifier: MIT'
    copyright='SPDX-FileCopyrightText: 2026 The Tavlo developers'

    check=false
    case "${1:-}" in
    --check) check=true ;;
    "") ;;
    *)
        echo "usage: $0 [--check]" >&2
        exit 2
        ;;
    esac

    # How a file begins a comment line, and ends it; nothing for a file left alone.
    comment_of() {
        case "$1" in
        tests/fuzz/corpus/*) ;;
        *.cpp | *.h | *.qml) echo '// ' ;;
        CMakeLists.txt | */CMakeLists.txt | *.cmake | *.sh | *.py | *.service | run | test | .ci/run | \
            debian/control | debian/rules | debian/*.install | debian/*.lintian-overrides | \
            debian/tests/control | debian/tests/installed | debian/upstream/metadata | \
            scripts/board/init | scripts/board/scenarios.txt | .clang-format | .gitignore | *.desktop)
            echo '# '
            ;;
        *.xml | *.svg) printf '%s\t%s\n' '<!-- ' ' -->' ;;
        *.1) echo '.\" ' ;;
        esac
    }

    missing=0
    while IFS= read -r -d '' file; do
        [ -f "$file" ] || continue
        style=$(comment_of "$file")
        [ -n "$style" ] || continue
        # Already there within the first lines.
        head -n 5 "$file" | grep -qF "$license" && continue
        if $check; then
            echo "$file has no '$license' line" >&2
            missing=$((missing + 1))
            continue
        fi
        IFS=$'\t' read -r open close <<<"$style"
        header="$open$license$close"$'\n'"$open$copyright$close"
        # C++ sources keep a blank line between the header and the code.
        case "$file" in *.cpp | *.h | *.qml) header+=$'\n' ;; esac
        first=$(head -n 1 "$file")
        {
            case "$first" in
            '#!'* | '<?xml'*)
                printf '%s\n%s\n' "$first" "$header"
                tail -n +2 "$file"
                ;;
            *)
                printf '%s\n' "$header"
                cat "$file"
                ;;
            esac
        } >"$file.spdx"
        # Keeps the file's mode (scripts stay executable).
        cat "$file.spdx" >"$file"
        rm "$file.spdx"
        echo "$file"
    done < <(git ls-files -z)

    if $check; then
        if ((missing)); then
            echo "$missing file(s) lack the licence line: run scripts/spdx.sh" >&2
            exit 1
        fi
        echo "Every source, script and build file names its licence."
    fi
}
main "$@"; exit
