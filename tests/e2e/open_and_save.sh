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
upper=$(printf '%s' "$winpath" | tr 'a-z' 'A-Z')
wait_for 10 "the document is titled $upper" documents_are "$upper"

keys ctrl+minus
wait_for 10 "the file is saved with CR LF" file_holds 'first\r\nsecond\r\n' "$dir/memo.txt"
# The file is saved through the name as given, not its upper-cased title, so
# the backup keeps that name's case on a case-sensitive file system.
wait_for 10 "the backup beside the file holds the old bytes" file_holds 'first\nsecond\n' "$dir/memo.世代"

close_program
echo "ok: opened, converted, saved with a backup"
