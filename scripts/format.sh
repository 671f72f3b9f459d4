#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# SPDX-FileCopyrightText: 2026 The Tavlo developers
# Formats every C++ source of the project with clang-format, after the
# project's .clang-format.
#
#   scripts/format.sh           formats the files in place
#   scripts/format.sh --check   changes nothing, and fails if a file is not
#                               formatted (CI runs this)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/lib/install-missing.sh"

mode=(-i)
case "${1:-}" in
--check) mode=(--dry-run -Werror) ;;
"") ;;
*)
    echo "usage: $0 [--check]" >&2
    exit 2
    ;;
esac

install_missing clang-format git
cd "$root"
mapfile -t sources < <(git ls-files '*.cpp' '*.h')
clang-format "${mode[@]}" "${sources[@]}"
if [ "${mode[0]}" != -i ]; then
    echo "All ${#sources[@]} C++ sources are formatted."
fi
