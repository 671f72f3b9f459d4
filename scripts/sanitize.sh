#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# SPDX-FileCopyrightText: 2026 The Tavlo developers
# Builds Tavlo and its tests with AddressSanitizer and UndefinedBehaviorSanitizer
# in build-sanitize/ and runs the whole suite; any finding fails the run.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/lib/install-missing.sh"
install_missing cmake ninja-build g++ qt6-base-dev qt6-qpa-plugins fonts-dejavu-core \
    desktop-file-utils python3 iproute2 liburing-dev \
    qt6-l10n-tools qt6-translations-l10n

build="$root/build-sanitize"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVLO_SANITIZE=ON
cmake --build "$build"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1"
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
ctest --test-dir "$build" --output-on-failure --timeout 900 --parallel "$(nproc)"
