# Shift+F2 switches a document with long lines from wrapping to scrolling;
# Ctrl+M's font dialog gives it a Japanese face, which it keeps when Shift+F2
# wraps it again.
source "$(dirname "$0")/lib.sh"

dir="$OUT/wrap-and-font"
rm -rf "$dir"
mkdir -p "$dir"
long=$(printf 'long line of text, %.0s' $(seq 1 20))
{
    printf '\x95\x5c\x8e\xa6\x82\xb7\x82\xe9\x95\xb6\x8f\x91\r\n'
    for _ in 1 2 3 4 5 6; do printf 'word \x95\x5c\x8e\xa6 %s\r\n' "$long"; done
} > "$dir/long.txt"
winpath=$(winepath -w "$dir/long.txt")

form_is() {
    seen=$(driver edit-form)
    [ "$seen" = "$1" ]
}

font_dialog_up() {
    seen=$(driver wait-dialog 0 | head -n 1) || return 1
    [ "$seen" = "文字書体の指定" ]
}

rest() {
    driver wait-idle 10000 || fail "the program did not come to rest: $1"
}

start_program "$winpath"
wait_for 10 "the document wraps" form_is wrap
keys shift+F2
wait_for 10 "the document scrolls sideways after Shift+F2" form_is scroll
rest "after the switch"
screenshot wrap-off

keys ctrl+m
wait_for 10 "the font dialog is up" font_dialog_up
driver select 1136 IPA || fail "no IPA face in the font dialog"
driver select 1138 14 || fail "no size 14 in the font dialog"
rest "with the font dialog"
screenshot font-dialog
driver press 1
wait_for 10 "the font dialog closes" no_dialog

keys shift+F2
wait_for 10 "the document wraps again" form_is wrap
rest "after the second switch"
screenshot wrap-on-in-chosen-font

close_program
echo "ok: wrap off and on, a Japanese face from the font dialog"
