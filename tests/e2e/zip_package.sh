# scripts/package.sh packs the program under test for Windows users,
# building and installing nothing, into the same bytes each time, whatever
# the umask and time zone, dated by the commit; unpacked into a folder of
# its own, the zip holds the program, the Windows user's README in CR LF and
# the licence, and the program starts from there.
source "$(dirname "$0")/lib.sh"

source_tree=$(cd "$(dirname "$0")/../.." && pwd)
version=$(sed -n 's/^project(mokure VERSION \([0-9][0-9.]*\).*/\1/p' "$source_tree/CMakeLists.txt")
zipname=mokure-$version-windows-x64.zip

# Stand-ins that fail: packing a built program calls none of them.
stubs="$OUT/package stubs"
mkdir -p "$stubs"
for tool in apt-get sudo dpkg-query localedef cmake make; do
    printf '#!/bin/sh\necho "package.sh called %s" >&2\nexit 1\n' "$tool" >"$stubs/$tool"
    chmod +x "$stubs/$tool"
done
pack() {
    rm -rf "$1"
    PATH="$stubs:$PATH" "$source_tree/scripts/package.sh" --program "$EXE" --out "$1" >"$1.log" 2>&1 ||
        fail "package.sh failed: $(tail -n 5 "$1.log")"
    [ -f "$1/$zipname" ] || fail "no $1/$zipname"
}
pack "$OUT/zip one"
(umask 077 && TZ=Asia/Tokyo pack "$OUT/zip two")
cmp -s "$OUT/zip one/$zipname" "$OUT/zip two/$zipname" || fail "two packagings of one program differ"

unpacked="$OUT/unpacked zip"
rm -rf "$unpacked"
mkdir -p "$unpacked"
unzip -q "$OUT/zip one/$zipname" -d "$unpacked"
listing=$(cd "$unpacked" && find . -type f | sort)
[ "$listing" = "./mokure-$version/LICENSE.txt
./mokure-$version/README.txt
./mokure-$version/mokure.exe" ] || fail "the zip holds: $listing"

folder="$unpacked/mokure-$version"
lines=$(wc -l <"$folder/README.txt")
crlf=$(grep -c $'\r$' "$folder/README.txt" || true)
[ "$lines" -gt 0 ] && [ "$crlf" = "$lines" ] || fail "README.txt: $crlf of $lines lines end in CR LF"
{
    printf '\xef\xbb\xbf'
    cat "$source_tree/docs/README-windows.txt"
} | cmp -s - <(tr -d '\r' <"$folder/README.txt") || fail "README.txt is not docs/README-windows.txt with a byte-order mark"
grep -q '^MIT License' "$folder/LICENSE.txt" || fail "LICENSE.txt is not the MIT licence"
# The program's header carries the commit's time, not the packing's.
header=$(od -An -tu4 -j 60 -N 4 "$folder/mokure.exe" | tr -d ' ')
stamp=$(od -An -tu4 -j $((header + 8)) -N 4 "$folder/mokure.exe" | tr -d ' ')
[ "$stamp" = "$(git -C "$source_tree" log -1 --format=%ct)" ] || fail "mokure.exe is stamped $stamp"

EXE="$folder/mokure.exe"
cd "$folder"
start_program
title=$(driver wait-frame)
case "$title" in
    モクレ*) ;;
    *) fail "frame title is '$title'" ;;
esac
close_program
rm -rf "$unpacked" "$OUT/zip one" "$OUT/zip two" "$stubs"
echo "ok: $zipname packed twice alike, unpacked, the Windows README in CR LF, licence, the program started from it"
