# The find dialog finds Japanese text and reports when there is no more;
# the replace dialog replaces every backslash but never the trail byte of
# 表, whose second byte is the same; the saved file holds the result.
source "$(dirname "$0")/lib.sh"

dir="$OUT/search-dialogs"
rm -rf "$dir"
mkdir -p "$dir"
sjis() {
    printf '%s' "$1" | iconv -f UTF-8 -t CP932
}
# The second 検索 lies below where the dialogs open, so that the
# screenshots show it selected.
lines=$'検索の例。\r\n'
for i in 1 2 3 4 5 6 7 8 9 10 11; do
    lines+=$'日本語の文章の行です。\r\n'
done
sjis "$lines"$'表示\\は検索で見つかる。\r\n' > "$dir/memo.txt"
sjis "$lines"$'表示＼は検索で見つかる。\r\n' > "$dir/expected.txt"
winpath=$(winepath -w "$dir/memo.txt")

dialog_shows() {
    seen=$(driver wait-dialog 0) || return 1
    printf '%s\n' "$seen" | grep -qF "$1"
}

files_equal() {
    seen=$(od -An -tx1 "$1" 2>&1 | head -c 400)
    cmp -s "$1" "$2"
}

start_program "$winpath"
upper=$(printf '%s' "$winpath" | tr 'a-z' 'A-Z')
wait_for 10 "the document is titled $upper" documents_are "$upper"

# 単語の検索 (Ctrl+Q on the kana keyboard): the caret is on the first 検索,
# so the next one is found, and then no more.
keys ctrl+q
wait_for 10 "the find dialog opens" dialog_shows '文章中の単語の検索'
driver set-text 401 '検索' || fail "no find field"
driver press 1 || fail "no find button"
driver wait-idle 10000 || true
screenshot find-dialog
driver press 1
wait_for 10 "the second search reports not found" dialog_shows '「検索」 が見つかりません。'
screenshot find-not-found
driver press 1
wait_for 10 "the find dialog is back in front" dialog_shows '次の検索(&ﾂ)'
driver press 2
wait_for 10 "the find dialog closes" no_dialog

# 単語の置換 (Ctrl+6): every backslash becomes a full-width one.
keys ctrl+6
wait_for 10 "the replace dialog opens" dialog_shows '単語置き換え'
driver set-text 401 '\' || fail "no find field"
driver set-text 702 '＼' || fail "no replace field"
driver wait-idle 10000 || true
screenshot replace-dialog
driver press 707
wait_for 10 "replace-all reports its end" dialog_shows '全て単語置き換え終了しました。'
screenshot replace-all-done
driver press 1
wait_for 10 "the message and the dialog are gone" no_dialog

keys ctrl+minus
wait_for 10 "the saved file holds the replaced text" files_equal "$dir/memo.txt" "$dir/expected.txt"

close_program
echo "ok: found, reported not found, replaced all around a trail byte, saved"
