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

results="$build/bench.json"
"$build/mokure_bench" \
    --benchmark_filter='^BM_(Normalise(Memcpy|DecideCountConvert)|Search(Memmem|FindNext|FindPrevious|ReplaceAll/(1|10)))/' \
    --benchmark_repetitions=7 \
    --benchmark_enable_random_interleaving=true \
    --benchmark_report_aggregates_only=true \
    --benchmark_out="$results" \
    --benchmark_out_format=json

# The aggregates of the runs, all in nanoseconds whatever unit each was
# reported in, and the ratios between them: the search ratios compare the
# fastest repetitions, which a machine shared with other work disturbs least.
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
    function ratio(label, numerator, denominator, statistic,    a, b) {
        a = time[numerator "/real_time_" statistic]
        b = time[denominator "/real_time_" statistic]
        if (a == "" || b == "" || b <= 0) {
            printf "bench: results for %s missing\n", label > "/dev/stderr"
            failed = 1
            return
        }
        printf "RATIO %s %.2f\n", label, a / b
    }
    END {
        ratio("normalise_vs_memcpy", "BM_NormaliseDecideCountConvert", "BM_NormaliseMemcpy", "median")
        ratio("find_vs_memmem", "BM_SearchFindNext", "BM_SearchMemmem", "min")
        ratio("replace_all_scaling", "BM_SearchReplaceAll/10", "BM_SearchReplaceAll/1", "min")
        ratio("find_previous_vs_next", "BM_SearchFindPrevious", "BM_SearchFindNext", "min")
        exit failed
    }
' "$results"
