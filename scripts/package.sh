#!/usr/bin/env bash
# Builds the release program and packs it for Windows users:
# build/dist/mokure-VERSION-windows-x64.zip holds the folder mokure-VERSION
# with mokure.exe, README.txt (the README with CR LF line ends) and LICENSE.txt.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/setup.sh

version=$(sed -n 's/^project(mokure VERSION \([0-9][0-9.]*\).*/\1/p' CMakeLists.txt)
if [ -z "$version" ]; then
    echo "package: no project(mokure VERSION ...) line in CMakeLists.txt" >&2
    exit 1
fi

cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win --target mokure -j 2 >/dev/null

name=mokure-$version
zipfile=$root/build/dist/$name-windows-x64.zip
stage=$root/build/dist/stage
rm -rf "$stage" "$zipfile"
mkdir -p "$stage/$name"
x86_64-w64-mingw32-strip -o "$stage/$name/mokure.exe" build/win/mokure.exe
# Notepad before Windows 10 shows LF-only text as one line.
sed 's/\r*$/\r/' README.md > "$stage/$name/README.txt"
sed 's/\r*$/\r/' LICENSE > "$stage/$name/LICENSE.txt"
# No extra attributes and a fixed order, so that the same tree packs alike.
(cd "$stage" && zip -X -q -r "$zipfile" "$name/mokure.exe" "$name/README.txt" "$name/LICENSE.txt")
rm -rf "$stage"
echo "package: $zipfile"
