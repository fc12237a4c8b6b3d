#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it under Wine,
# optionally with a file to open. Without a display it starts a virtual
# one, saves a screenshot of the program under build/, prints its path and
# closes the program again.
set -euo pipefail
cd "$(dirname "$0")/.."
MOKURE_ROOT=$(pwd)

scripts/setup.sh
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE="$MOKURE_ROOT/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win --target mokure mokure_driver -j "$(nproc)"

source scripts/wine-env.sh
trap stop_started EXIT

headless=
if [ -z "${DISPLAY:-}" ]; then
    headless=yes
    start_display
fi
ensure_wine_prefix
start_wineserver

args=()
if [ $# -gt 0 ]; then
    args+=("$(winepath -w "$1")")
fi

if [ -z "$headless" ]; then
    wine build/win/mokure.exe "${args[@]}"
    exit 0
fi

wine explorer /desktop=mokure,1024x768 build/win/mokure.exe "${args[@]}" >/dev/null 2>&1 &
program=$!
started_pids+=("$program")
shown=
for _ in $(seq 1 200); do
    if xdotool search --onlyvisible --name 'モクレ' >/dev/null 2>&1; then
        shown=yes
        break
    fi
    sleep 0.1
done
if [ -z "$shown" ]; then
    echo "run: the program's window did not appear" >&2
    exit 1
fi
# The picture is taken once the program has drawn itself and waits for
# input. The driver runs on the program's desktop, which does not pass its
# exit code on, so it answers on its output.
idle=$(wine explorer /desktop=mokure,1024x768 build/win/mokure_driver.exe wait-idle 30000 2>/dev/null | tr -d '\r')
[ "$idle" = idle ] || {
    echo "run: the program did not come to rest" >&2
    exit 1
}
mkdir -p build/screenshots
shot="$MOKURE_ROOT/build/screenshots/run.png"
import -window root "$shot"
echo "$shot"
