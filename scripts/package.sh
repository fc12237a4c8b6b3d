#!/usr/bin/env bash
# Packs the program for Windows users: FOLDER/mokure-VERSION-windows-x64.zip
# holds the folder mokure-VERSION with mokure.exe, README.txt (the Windows
# user's README, docs/README-windows.txt) and LICENSE.txt.
#   scripts/package.sh [--program mokure.exe] [--out FOLDER]
# Without --program it installs what building needs and builds the release
# program in build/win; with it, it packs that program as it is, building
# and installing nothing. FOLDER is build/dist unless given.
# The same commit and program give the same bytes: every file, and the
# program's header, has the commit's time (or SOURCE_DATE_EPOCH); every file
# has a fixed mode, in a fixed order.
set -euo pipefail

program=
out=
while [ $# -gt 0 ]; do
    case "$1" in
        --program) program=$(realpath -- "${2:?--program needs the program}") ;;
        --out) out=$(mkdir -p -- "${2:?--out needs a folder}" && cd -- "$2" && pwd) ;;
        *)
            echo "usage: scripts/package.sh [--program mokure.exe] [--out FOLDER]" >&2
            exit 2
            ;;
    esac
    shift 2
done

cd "$(dirname "$0")/.."
root=$(pwd)
out=${out:-$root/build/dist}
mkdir -p "$out"

version=$(sed -n 's/^project(mokure VERSION \([0-9][0-9.]*\).*/\1/p' CMakeLists.txt)
if [ -z "$version" ]; then
    echo "package: no project(mokure VERSION ...) line in CMakeLists.txt" >&2
    exit 1
fi

if [ -z "$program" ]; then
    scripts/setup.sh build
    cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build build/win --target mokure -j 2 >/dev/null
    program=$root/build/win/mokure.exe
fi
for tool in zip x86_64-w64-mingw32-strip; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "package: $tool is missing (scripts/setup.sh build installs it)" >&2
        exit 1
    fi
done

epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || true)}
if [ -z "$epoch" ]; then
    echo "package: no commit to date the files by; set SOURCE_DATE_EPOCH" >&2
    exit 1
fi

name=mokure-$version
zipfile=$out/$name-windows-x64.zip
stage=$(mktemp -d "$out/stage.XXXXXX")
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/$name"
# strip stamps the program's header with the time it runs, unless given one.
SOURCE_DATE_EPOCH=$epoch x86_64-w64-mingw32-strip -o "$stage/$name/mokure.exe" "$program"
# CR LF, since Notepad before Windows 10 shows LF-only text as one line, and
# a byte-order mark, since it reads unmarked text in the ANSI code page.
{
    printf '\xef\xbb\xbf'
    sed 's/\r*$/\r/' docs/README-windows.txt
} >"$stage/$name/README.txt"
sed 's/\r*$/\r/' LICENSE >"$stage/$name/LICENSE.txt"
chmod 755 "$stage/$name/mokure.exe"
chmod 644 "$stage/$name/README.txt" "$stage/$name/LICENSE.txt"
touch -d "@$epoch" "$stage/$name"/*
# Zip keeps local times: UTC makes them the same in every time zone. -X
# leaves out the owner and the other times, -D the folder's own entry.
rm -f "$zipfile"
(cd "$stage" && TZ=UTC zip -X -D -q "$zipfile" "$name/mokure.exe" "$name/README.txt" "$name/LICENSE.txt")
echo "package: $zipfile"
