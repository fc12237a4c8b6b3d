# A file named on the command line opens with the line-end question; saving
# with the keyboard writes CR LF line ends and keeps the old file as backup.
source "$(dirname "$0")/lib.sh"

dir="$OUT/open-and-save"
rm -rf "$dir"
mkdir -p "$dir"
printf 'first\nsecond\n' > "$dir/memo.txt"
winpath=$(winepath -w "$dir/memo.txt")

start_program "$winpath"
box=$(driver wait-dialog 10000) || fail "no line-end question"
echo "$box" | grep -q '改行記号を変換して宜しいですか' || fail "question reads: $box"
screenshot line-end-question
driver press 6
sleep 0.5
upper=$(printf '%s' "$winpath" | tr 'a-z' 'A-Z')
[ "$(driver documents)" = "$upper" ] || fail "document is '$(driver documents)', wanted '$upper'"

keys ctrl+minus
sleep 0.5
printf 'first\r\nsecond\r\n' | cmp - "$dir/memo.txt" || fail "saved bytes differ"
# The title is the upper-cased path, so the backup made from it is upper case
# on a case-sensitive file system.
printf 'first\nsecond\n' | cmp - "$dir/MEMO.世代" || fail "the backup does not hold the old bytes"

close_program
echo "ok: opened, converted, saved with a backup"
