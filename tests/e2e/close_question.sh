# Typing marks the document changed; closing it asks whether to save in the
# program's own box with Japanese buttons; Cancel keeps it, No lets it go.
source "$(dirname "$0")/lib.sh"

start_program
keys a b c
keys ctrl+F4
box=$(driver wait-dialog 10000) || fail "no question when closing a changed document"
screenshot close-question
echo "$box" | grep -q '「書簡1」 は更新されています。保存しますか?' || fail "question reads: $box"
for caption in 'はい(&ﾊ)' 'いいえ(&ｲ)' '取消(&ﾄ)'; do
    echo "$box" | grep -qF "$caption" || fail "no button $caption in: $box"
done

driver press 2
wait_for 10 "the box is gone after Cancel" no_dialog
documents_are "書簡1" || fail "Cancel did not keep the document; documents: $seen"

keys ctrl+F4
driver wait-dialog 10000 >/dev/null || fail "no question the second time"
driver press 7
wait_for 10 "No closes the document" documents_are ""

close_program
echo "ok: close question answered Cancel, then No"
