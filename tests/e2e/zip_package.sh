# scripts/package.sh makes the zip for Windows users; unpacked into a
# folder of its own, it holds the program, its README in CR LF and the
# licence, and the program starts from there.
source "$(dirname "$0")/lib.sh"

source_tree=$(cd "$(dirname "$0")/../.." && pwd)
version=$(sed -n 's/^project(mokure VERSION \([0-9][0-9.]*\).*/\1/p' "$source_tree/CMakeLists.txt")
zipfile="$source_tree/build/dist/mokure-$version-windows-x64.zip"
"$source_tree/scripts/package.sh" >"$OUT/package.log" 2>&1 || fail "package.sh failed: $(tail -n 5 "$OUT/package.log")"
[ -f "$zipfile" ] || fail "no $zipfile"

unpacked="$OUT/unpacked zip"
rm -rf "$unpacked"
mkdir -p "$unpacked"
unzip -q "$zipfile" -d "$unpacked"
listing=$(cd "$unpacked" && find . -type f | sort)
[ "$listing" = "./mokure-$version/LICENSE.txt
./mokure-$version/README.txt
./mokure-$version/mokure.exe" ] || fail "the zip holds: $listing"

folder="$unpacked/mokure-$version"
lines=$(wc -l <"$folder/README.txt")
crlf=$(grep -c $'\r$' "$folder/README.txt" || true)
[ "$lines" -gt 0 ] && [ "$crlf" = "$lines" ] || fail "README.txt: $crlf of $lines lines end in CR LF"
tr -d '\r' <"$folder/README.txt" | cmp -s - "$source_tree/README.md" || fail "README.txt is not the README"
grep -q '^MIT License' "$folder/LICENSE.txt" || fail "LICENSE.txt is not the MIT licence"

EXE="$folder/mokure.exe"
cd "$folder"
start_program
title=$(driver wait-frame)
case "$title" in
    モクレ*) ;;
    *) fail "frame title is '$title'" ;;
esac
close_program
rm -rf "$unpacked"
echo "ok: $(basename "$zipfile") unpacked, README in CR LF, licence, the program started from it"
