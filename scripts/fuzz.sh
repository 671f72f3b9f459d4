#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# SPDX-FileCopyrightText: 2026 The Tavlo developers
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each for a
# bounded time (FUZZ_SECONDS, 60 by default) from the seed corpus in the repo.
# A crash or sanitizer finding fails the run and leaves the input in build-fuzz/.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/lib/install-missing.sh"
install_missing cmake ninja-build clang libclang-rt-14-dev qt6-base-dev liburing-dev qt6-l10n-tools

build="$root/build-fuzz"
seconds=${FUZZ_SECONDS:-60}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DBUILD_TESTING=OFF -DTAVLO_FUZZ=ON
cmake --build "$build" --target fuzz_caption fuzz_noteText

# The targets run side by side, one a core.
fuzz() {
    local target=$1 corpus="$build/corpus-$1" log="$build/fuzz-$1.log" status=0
    mkdir -p "$corpus"
    (cd "$build" && ASAN_OPTIONS=detect_leaks=0 "./tests/fuzz/fuzz_$target" \
        -max_total_time="$seconds" -max_len=65536 -timeout=10 -print_final_stats=1 \
        "$corpus" "$root/tests/fuzz/corpus/$target") >"$log" 2>&1 || status=$?
    echo "== fuzz_$target for ${seconds}s"
    if [ "$status" -ne 0 ]; then
        tail -n 60 "$log"
        echo "fuzz_$target failed (exit $status); the input is in $build"
        return 1
    fi
    grep -E '^(Done|stat::number_of_executed_units|stat::average_exec_per_sec|stat::peak_rss_mb)' "$log"
}
targets=(caption noteText)
pids=()
for target in "${targets[@]}"; do
    fuzz "$target" >"$build/fuzz-$target.report" &
    pids+=($!)
done
failed=0
for i in "${!targets[@]}"; do
    wait "${pids[$i]}" || failed=1
    cat "$build/fuzz-${targets[$i]}.report"
done
exit "$failed"
