#!/usr/bin/env bash
# Builds the benchmarks of the pure code and prints the ratios the project
# tracks, one "RATIO <name> <value>" line each; then times the opening of a
# large file by the real program under Wine against the bare edit control
# and Wine's notepad.
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
    --benchmark_filter='^BM_(Normalise(Memcpy|DecideCountConvert)|RecogniseEncoding|Search(Memmem|FindNext|FindPrevious|ReplaceAll/(1|10)))/' \
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
        ratio("detect_vs_memcpy", "BM_RecogniseEncoding", "BM_NormaliseMemcpy", "median")
        ratio("find_vs_memmem", "BM_SearchFindNext", "BM_SearchMemmem", "min")
        ratio("replace_all_scaling", "BM_SearchReplaceAll/10", "BM_SearchReplaceAll/1", "min")
        ratio("find_previous_vs_next", "BM_SearchFindPrevious", "BM_SearchFindNext", "min")
        exit failed
    }
' "$results"

# Opening a 10 MiB Shift-JIS file end to end: from the start of the process
# to its first wait for input, in a 1280x1024 virtual display; then, in the
# program and in the bare control given WM_SETTEXT, one typed character with
# its repaint at the end and at the start of the text, and the program's save;
# before the save, the recovery copy the typing called for: the longest time
# the program's window thread spent on a copy, and the copy whole.
# The programs take turns, five runs each, so that a busy moment of the
# machine falls on each alike.
MOKURE_ROOT=$(pwd)
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE="$MOKURE_ROOT/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win --target mokure mokure_bare_loader mokure_bare_settext mokure_open_timer -j "$(nproc)" >/dev/null

sample="$MOKURE_ROOT/$build/open-10mib.txt"
if [ ! -f "$sample" ]; then
    # Lines of Japanese and ASCII, about 120 bytes each, CR LF ended, so that
    # no line-end question is asked.
    awk -v bytes=$((10 * 1024 * 1024)) 'BEGIN {
        for (n = 1; total < bytes; n++) {
            printf "%06d 今日は良い天気です。表示とソースと能力を確かめる。The quick brown fox jumps over the lazy dog, %07d times.\r\n", n, n * 7
            total += 119
        }
    }' | iconv -f UTF-8 -t CP932 | head -c $((10 * 1024 * 1024)) >"$sample"
fi

# The same text in UTF-8, which the program converts after its question.
sample_utf8="$MOKURE_ROOT/$build/open-10mib-utf8.txt"
[ -f "$sample_utf8" ] || iconv -f CP932 -t UTF-8 "$sample" >"$sample_utf8"

export WINEPREFIX="$MOKURE_ROOT/build/wineprefix-bench"
source scripts/wine-env.sh
trap stop_started EXIT
start_display
ensure_wine_prefix
start_wineserver
# Copies an interrupted run left would be offered at the start.
rm -rf "$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/モクレ"

file=$(winepath -w "$sample")
file_utf8=$(winepath -w "$sample_utf8")
# The program types into and saves a copy, so that the sample stays as it is.
work="$MOKURE_ROOT/$build/work-10mib.txt"
work_file=$(winepath -w "$work")
timer="build\\win\\mokure_open_timer.exe"
notepad_wrap() {
    wine reg add 'HKCU\Software\Microsoft\Notepad' /v fWrap /t REG_DWORD /d "$1" /f >/dev/null 2>&1
}
time_open() {
    local ms
    ms=$(wine "$timer" "$@" 2>/dev/null | tr -d '\r')
    [ -n "$ms" ] || { echo "bench: no time for $*" >&2; exit 1; }
    echo "$ms"
}
mokure=() utf8=() bare=() settext=() notepad_on=() notepad_off=()
for _ in 1 2 3 4 5; do
    cp "$sample" "$work"
    mokure+=("$(time_open --keys --save --copy mkframe "build\\win\\mokure.exe $work_file" | tr ' ' ,)")
    utf8+=("$(time_open --yes mkframe "build\\win\\mokure.exe $file_utf8")")
    bare+=("$(time_open bareloader "build\\win\\mokure_bare_loader.exe $file")")
    settext+=("$(time_open --keys bareloader "build\\win\\mokure_bare_settext.exe $file" | tr ' ' ,)")
    notepad_wrap 1
    notepad_on+=("$(time_open Notepad "notepad.exe $file")")
    notepad_wrap 0
    notepad_off+=("$(time_open Notepad "notepad.exe $file")")
done
rm -f "$work" "${work%.txt}.世代"

median() {
    printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
# Field n of each run's comma-separated times.
column() {
    local n=$1
    shift
    printf '%s\n' "$@" | cut -d, -f"$n"
}
m=$(median $(column 1 "${mokure[@]}"))
m_end=$(median $(column 2 "${mokure[@]}"))
m_start=$(median $(column 3 "${mokure[@]}"))
m_save=$(median $(column 4 "${mokure[@]}"))
m_pause=$(median $(column 5 "${mokure[@]}"))
m_copy=$(median $(column 6 "${mokure[@]}"))
u=$(median "${utf8[@]}")
b=$(median "${bare[@]}")
s_open=$(median $(column 1 "${settext[@]}"))
s_end=$(median $(column 2 "${settext[@]}"))
s_start=$(median $(column 3 "${settext[@]}"))
n_on=$(median "${notepad_on[@]}")
n_off=$(median "${notepad_off[@]}")
echo "TIME open_10mib_mokure_ms $m ($(column 1 "${mokure[@]}" | tr '\n' ' '))"
echo "TIME open_10mib_utf8_mokure_ms $u (${utf8[*]})"
echo "TIME open_10mib_bare_control_ms $b (${bare[*]})"
echo "TIME open_10mib_bare_settext_ms $s_open ($(column 1 "${settext[@]}" | tr '\n' ' '))"
echo "TIME open_10mib_notepad_wrapped_ms $n_on (${notepad_on[*]})"
echo "TIME open_10mib_notepad_unwrapped_ms $n_off (${notepad_off[*]})"
echo "TIME key_end_10mib_mokure_ms $m_end ($(column 2 "${mokure[@]}" | tr '\n' ' '))"
echo "TIME key_end_10mib_bare_settext_ms $s_end ($(column 2 "${settext[@]}" | tr '\n' ' '))"
echo "TIME key_start_10mib_mokure_ms $m_start ($(column 3 "${mokure[@]}" | tr '\n' ' '))"
echo "TIME key_start_10mib_bare_settext_ms $s_start ($(column 3 "${settext[@]}" | tr '\n' ' '))"
echo "TIME save_10mib_mokure_ms $m_save ($(column 4 "${mokure[@]}" | tr '\n' ' '))"
echo "TIME copy_pause_10mib_mokure_ms $m_pause ($(column 5 "${mokure[@]}" | tr '\n' ' '))"
echo "TIME copy_whole_10mib_mokure_ms $m_copy ($(column 6 "${mokure[@]}" | tr '\n' ' '))"
awk -v m="$m" -v u="$u" -v b="$b" -v n="$n_on" -v save="$m_save" -v me="$m_end" -v se="$s_end" -v ms="$m_start" \
    -v ss="$s_start" -v pause="$m_pause" -v copy="$m_copy" 'BEGIN {
    printf "RATIO open_vs_bare_control %.2f\n", m / b
    printf "RATIO open_utf8_vs_sjis %.2f\n", u / m
    printf "RATIO open_vs_notepad %.2f\n", m / n
    printf "RATIO save_vs_open %.3f\n", save / m
    printf "RATIO key_end_vs_bare_settext %.2f\n", me / se
    printf "RATIO key_start_vs_bare_settext %.2f\n", ms / ss
    printf "RATIO copy_pause_vs_key %.2f\n", pause / me
    printf "RATIO copy_vs_save %.2f\n", copy / save
}'
