# Started without a file, the program shows its frame with one untitled
# document; its menus open from the keyboard; exit ends the program.
source "$(dirname "$0")/lib.sh"

start_program
title=$(driver wait-frame)
case "$title" in
    モクレ*) ;;
    *) fail "frame title is '$title'" ;;
esac
wait_for 10 "one untitled document" documents_are "書簡1"

keys F10 Right Down
driver wait-class '#32768' 10000 >/dev/null || fail "the edit menu did not open"
driver wait-idle 10000 || fail "the program did not come to rest with its menu open"
screenshot startup-menu
keys Escape Escape
wait_for 10 "the menu closes" menu_closed

close_program
echo "ok: frame '$title' with document 書簡1"
