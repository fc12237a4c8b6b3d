# The open dialog starts in the program's current folder and opens a typed
# name; the save-as dialog writes the document under a new name.
source "$(dirname "$0")/lib.sh"

dir="$OUT/file-dialogs"
rm -rf "$dir"
mkdir -p "$dir/SUB"
printf 'letter\r\n' > "$dir/letter.文書"
printf 'old\r\n' > "$dir/old.文"
printf 'memo\r\n' > "$dir/memo.txt"
winpath=$(winepath -w "$dir")
upper=$(printf '%s' "$winpath" | tr 'a-z' 'A-Z')

dialog_shows() {
    seen=$(driver wait-dialog 0) || return 1
    local text
    for text in "$@"; do
        grep -qF -- "$text" <<<"$seen" || return 1
    done
}

# The program's current folder is the one it was started in.
cd "$dir"
start_program
wait_for 10 "one untitled document" documents_are "書簡1"

keys ctrl+s
# The driver reads captions and labels; the fields and lists show on the
# screenshot and are read back by the Wine tests.
wait_for 10 "the open dialog on the folder it started in" dialog_shows '装置から記録体を取り出す' "$upper"
driver wait-idle 10000 || fail "the program did not come to rest with the open dialog up"
screenshot open-dialog

keys ctrl+a
xdotool type --delay 80 'memo.txt'
keys Return
wait_for 10 "memo.txt opens in a document of its own" documents_are "$upper\\MEMO.TXT
書簡1"

keys ctrl+u
wait_for 10 "the save-as dialog" dialog_shows '名前を付けて装置に保管' '記録体名(&ﾅ):'
driver wait-idle 10000 || fail "the program did not come to rest with the save-as dialog up"
screenshot save-as-dialog

xdotool type --delay 80 'copy'
keys Return
wait_for 10 "the document is written under its new name, as typed" file_holds 'memo\r\n' "$dir/copy.文書"
wait_for 10 "the document carries its new name" documents_are "$upper\\COPY.文書
書簡1"

close_program
echo "ok: opened memo.txt through the open dialog, saved it as COPY.文書"
