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
trap stop_started EXIT
start_display
ensure_wine_prefix desktop
start_wineserver

cd build
ctest --output-on-failure "$@"
