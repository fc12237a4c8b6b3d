# Started without a file, the program shows its frame with one untitled
# document; its menus open from the keyboard; exit ends the program.
source "$(dirname "$0")/lib.sh"

start_program
title=$(driver wait-frame)
case "$title" in
    モクレ*) ;;
    *) fail "frame title is '$title'" ;;
esac
documents=$(driver documents)
[ "$documents" = "書簡1" ] || fail "documents are '$documents'"

keys F10 Right Down
screenshot startup-menu
keys Escape Escape

close_program
echo "ok: frame '$title' with document '$documents'"
