#!/usr/bin/env bash
# Installs what is missing, builds the host and the Windows builds, and runs
# every test layer (host unit tests, Wine integration tests, end-to-end
# tests of the real program) through one CTest run.
set -euo pipefail
cd "$(dirname "$0")/.."
MOKURE_ROOT=$(pwd)

scripts/setup.sh

cmake -S . -B build/host -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/host -j "$(nproc)"
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE="$MOKURE_ROOT/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win -j "$(nproc)"

# One test tree over both builds, so that CTest ends with one summary.
printf 'subdirs("host" "win")\n' > build/CTestTestfile.cmake

export WINEPREFIX="$MOKURE_ROOT/build/wineprefix-test"
source scripts/wine-env.sh
source scripts/cups-env.sh

# A small file system that fills up during a save; the test that needs it
# skips with its reason where mounting is refused (not root).
smallfs=$(mktemp -d /tmp/mokure-smallfs-XXXXXX)
if mount -t tmpfs -o size=64k tmpfs "$smallfs" 2>/dev/null; then
    export MOKURE_SMALL_FS="Z:$(printf '%s' "$smallfs" | tr / '\\')"
fi
cleanup() {
    stop_started
    stop_cups_files
    umount "$smallfs" 2>/dev/null || true
    rmdir "$smallfs" 2>/dev/null || true
}
trap cleanup EXIT
start_display
start_cups "$MOKURE_ROOT/build/cups"
export MOKURE_READ_PAGES="$MOKURE_ROOT/tests/win/read_pages.sh"
export MOKURE_SHOTS="$MOKURE_ROOT/build/win/e2e"
ensure_wine_prefix desktop
start_wineserver

cd build
# Two jobs: the host tests run beside the Wine and end-to-end tests, which
# take their turns on the desktop by CTest's resource locks.
mkdir -p Testing
set +e
ctest --output-on-failure -j 2 "$@" | tee Testing/ctest-output.log
status=${PIPESTATUS[0]}
set -e
echo "slowest tests:"
sed -n 's/^ *[0-9]*\/[0-9]* Test *#[0-9]*: \([^ ]*\) .* \([0-9.]*\) sec$/\2 \1/p' Testing/ctest-output.log |
    sort -rn | head -n 10 | awk '{ printf "  %8.2f s  %s\n", $1, $2 }'
# A skipped Wine test passes with its suite; name each one with its reason.
if [ -f Testing/Temporary/LastTest.log ]; then
    awk '/: Skipped$/ { getline reason; next }
         /^\[  SKIPPED \] [^ ]+ \(/ { printf "skipped: %s: %s\n", $4, reason }' \
        Testing/Temporary/LastTest.log
fi
exit "$status"
