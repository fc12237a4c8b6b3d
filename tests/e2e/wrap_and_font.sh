# A document with long lines switches from wrapping to scrolling with
# Shift+F2, keeping its text; Ctrl+M opens the font dialog, and the Japanese
# face chosen there shows the text; Shift+F2 wraps it again in that face.
source "$(dirname "$0")/lib.sh"

dir="$OUT/wrap-and-font"
rm -rf "$dir"
mkdir -p "$dir"
{
    printf '\x95\x5c\x8e\xa6\x82\xb7\x82\xe9\x95\xb6\x8f\x91\r\n'
    for _ in $(seq 1 6); do
        printf 'word \x95\x5c\x8e\xa6 '
        for _ in $(seq 1 20); do printf 'long line of text, '; done
        printf '\r\n'
    done
    printf 'end\r\n'
} > "$dir/long.txt"
winpath=$(winepath -w "$dir/long.txt")
upper=$(printf '%s' "$winpath" | tr 'a-z' 'A-Z')

form_is() {
    seen=$(driver edit-form)
    [ "$seen" = "$1" ]
}

dialog_caption_is() {
    seen=$(driver wait-dialog 0 | head -n 1) || return 1
    [ "$seen" = "$1" ]
}

start_program "$winpath"
wait_for 10 "the document is titled $upper" documents_are "$upper"
wait_for 10 "the document wraps" form_is wrap
driver wait-idle 10000 || fail "the program did not come to rest"
screenshot wrap-on

keys shift+F2
wait_for 10 "the document scrolls sideways after Shift+F2" form_is scroll
driver wait-idle 10000 || fail "the program did not come to rest after the switch"
screenshot wrap-off

keys ctrl+m
wait_for 10 "the font dialog is up" dialog_caption_is "文字書体の指定"
driver select 1136 IPA || fail "no IPA face in the font dialog"
driver select 1138 14 || fail "no size 14 in the font dialog"
driver wait-idle 10000 || fail "the program did not come to rest with the font dialog"
screenshot font-dialog
driver press 1
wait_for 10 "the font dialog closes" no_dialog
driver wait-idle 10000 || fail "the program did not come to rest after the font dialog"
screenshot font-chosen

keys shift+F2
wait_for 10 "the document wraps again" form_is wrap
driver wait-idle 10000 || fail "the program did not come to rest after the second switch"
screenshot wrap-again

close_program
[ ! -e "$dir/LONG.世代" ] || fail "closing the unchanged document wrote a backup"
echo "ok: wrap off and on, a Japanese face from the font dialog"
