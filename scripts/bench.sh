#!/usr/bin/env bash
# Builds the benchmarks of the pure code and prints the ratios the project
# tracks, one "RATIO <name> <value>" line each.
#
# The benchmarks get a build folder of their own, optimised and without the
# sanitizers that the host test build carries: timings of instrumented code
# would say nothing, and sharing build/host would rebuild it each time the
# test script and this one take turns.
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v cmake >/dev/null 2>&1 ||
    ! pkg-config --exists benchmark 2>/dev/null ||
    [ ! -f /usr/include/benchmark/benchmark.h ]; then
    scripts/setup.sh
fi

build=build/bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DMOKURE_SANITIZE=OFF >/dev/null
cmake --build "$build" --target mokure_bench -j "$(nproc)"

results="$build/normalise_bench.json"
"$build/mokure_bench" \
    --benchmark_filter='^BM_Normalise(Memcpy|DecideCountConvert)/' \
    --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true \
    --benchmark_out="$results" \
    --benchmark_out_format=json

# The medians of the two runs, both in nanoseconds whatever unit each was
# reported in.
awk '
    function ns(value, unit) {
        if (unit == "s") return value * 1e9
        if (unit == "ms") return value * 1e6
        if (unit == "us") return value * 1e3
        return value
    }
    function field(line) {
        sub(/^[^:]*:[ \t]*/, "", line)
        sub(/,[ \t]*$/, "", line)
        gsub(/"/, "", line)
        return line
    }
    /"name":/ { name = field($0) }
    /"real_time":/ { real = field($0) }
    /"time_unit":/ { time[name] = ns(real + 0, field($0)) }
    END {
        convert = time["BM_NormaliseDecideCountConvert/real_time_median"]
        copy = time["BM_NormaliseMemcpy/real_time_median"]
        if (convert == "" || copy == "" || copy <= 0) {
            print "bench: normalise results missing" > "/dev/stderr"
            exit 1
        }
        printf "RATIO normalise_vs_memcpy %.2f\n", convert / copy
    }
' "$results"
