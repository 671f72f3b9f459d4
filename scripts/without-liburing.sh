#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# SPDX-FileCopyrightText: 2026 The Tavlo developers
# Builds Tavlo without liburing (-DTAVLO_URING=OFF) in build-nouring/ and runs
# the tests of the note list there: every rebuild then reads one note at a
# time, and must still give the same rows, warnings and notes.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/lib/install-missing.sh"
install_missing cmake ninja-build g++ qt6-base-dev qt6-qpa-plugins fonts-dejavu-core

build="$root/build-nouring"
tests=(tst_captionBatch tst_mainWindow tst_faults)
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVLO_URING=OFF \
    -DTAVLO_BUILD_BENCH=OFF
cmake --build "$build" --target tavlo "${tests[@]}"
ctest --test-dir "$build" --output-on-failure --timeout 600 \
    -R "^($(IFS="|"; echo "${tests[*]}"))\$"
