#!/usr/bin/env bash
# Builds the fuzz targets of the pure code (clang's libFuzzer under
# AddressSanitizer and UBSan, in build/fuzz) and runs each for SECONDS
# (default 20), one after another. Prints one line per target with its
# executions and crashes, and exits non-zero when any target found a fault.
#
# An input that found a fault is copied to tests/fuzz/regressions/TARGET/,
# where the unit tests run it through the same property check. The corpus
# each target grows stays in build/fuzz/corpus/TARGET for the next run.
#
# To run one input again:
#   MOKURE_FUZZ_TARGET=TARGET build/fuzz/mokure_fuzz FILE
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-20}
if ! [[ $seconds =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: scripts/fuzz.sh [SECONDS]" >&2
    exit 2
fi

if ! command -v clang++ >/dev/null 2>&1; then
    scripts/setup.sh
fi

build=build/fuzz
cmake -S . -B "$build" -DMOKURE_FUZZ=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j "$(nproc)" >"$build/build.log" 2>&1 || {
    cat "$build/build.log"
    exit 1
}
fuzzer="$build/mokure_fuzz"

targets=$(MOKURE_FUZZ_TARGET=list "$fuzzer")
status=0
while read -r name max_len; do
    corpus="$build/corpus/$name"
    artifacts="$build/artifacts/$name"
    log="$build/logs/$name.log"
    mkdir -p "$corpus" "$artifacts" "$build/logs"
    rm -f "$artifacts"/*
    inputs=("$corpus")
    for kept in tests/fuzz/seeds/"$name" tests/fuzz/regressions/"$name"; do
        if [ -d "$kept" ]; then
            inputs+=("$kept")
        fi
    done

    result=0
    MOKURE_FUZZ_TARGET=$name "$fuzzer" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 \
        -print_final_stats=1 -artifact_prefix="$artifacts/" "${inputs[@]}" >"$log" 2>&1 || result=$?

    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    crashes=0
    for found in "$artifacts"/crash-* "$artifacts"/leak-* "$artifacts"/timeout-* "$artifacts"/oom-*; do
        [ -f "$found" ] || continue
        crashes=$((crashes + 1))
        mkdir -p tests/fuzz/regressions/"$name"
        cp "$found" tests/fuzz/regressions/"$name"/
        echo "  kept: tests/fuzz/regressions/$name/$(basename "$found") (see $log)"
    done
    printf '%-16s %12s executions %3d crashes\n' "$name" "${executions:-?}" "$crashes"
    if [ "$result" -ne 0 ] || [ "$crashes" -ne 0 ]; then
        if [ "$crashes" -eq 0 ]; then
            echo "  the fuzzer stopped with status $result (see $log)"
        fi
        status=1
    fi
done <<<"$targets"
exit "$status"
