# Typed text survives the program being killed: the copy written after a
# pause is offered at the next start, taken back, and saved whole.
source "$(dirname "$0")/lib.sh"

dir="$OUT/取り戻す 試験"
rm -rf "$dir"
mkdir -p "$dir"
file="$dir/メモ.txt"
printf 'first\r\n' > "$file"
winpath=$(winepath -w "$file")
upper=$(printf '%s' "$winpath" | tr 'a-z' 'A-Z')

copies() {
    seen=$(ls "$recovery_folder" 2>&1)
    [ "$(ls "$recovery_folder"/*.mkr 2>/dev/null | wc -l)" -eq "$1" ]
}

start_program "$winpath"
wait_for 10 "the document is titled $upper" documents_are "$upper"
keys ctrl+End space x y z
wait_for 30 "a recovery copy appears" copies 1

kill -9 "$program_pid"
wait_for 10 "the killed program is gone" program_ended
program_pid=
cmp -s <(printf 'first\r\n') "$file" || fail "the file changed before it was saved"

start_program
box=$(driver wait-dialog 10000) || fail "no offer of the copy"
screenshot recovery-offer
echo "$box" | grep -q '保管されないまま終わった文書が1件あります。' || fail "the offer reads: $box"
echo "$box" | grep -qF "「$upper」" || fail "the offer does not name the document: $box"
driver press 6
wait_for 10 "the document is back" documents_are "$upper"

keys ctrl+minus
wait_for 10 "the file holds what was typed" file_holds 'first\r\n xyz' "$file"
wait_for 10 "the copy goes once saved" copies 0

close_program
[ ! -e "$(dirname "$recovery_folder")" ] || fail "the program left behind: $(ls -AR "$(dirname "$recovery_folder")")"
echo "ok: typed text taken back after a hard kill and saved"
