# Without its manifest, on a system whose code page is not 932 (C.UTF-8
# gives 1252, as an English Windows 10 does), the program says in Japanese
# and in English why it cannot work before any window of its own; Return
# takes the default answer, No, and the program ends with exit code 1.
source "$(dirname "$0")/lib.sh"

bare="$(dirname "$EXE")/mokure_without_manifest.exe"
[ -f "$bare" ] || fail "no build without the manifest at $bare"

# Only the program on code page 1252; the driver stays on the run's locale.
LANG=C.UTF-8 wine "$bare" >/dev/null 2>&1 &
program_pid=$!
box=$(driver wait-dialog 30000) || fail "no code page box"
for text in 'モクレ' 'シフトJIS（コードページ 932）' 'コードページ 1252' 'このまま起動しますか？' \
    'Shift-JIS (code page 932)' 'code page 1252' 'Language for non-Unicode programs' 'Start anyway?' '&Yes' '&No'; do
    grep -qF -- "$text" <<<"$box" || fail "no '$text' in the box: $box"
done
! driver wait-frame 0 >/dev/null || fail "a frame came up before the answer"
driver wait-idle 10000 >/dev/null || true
screenshot code-page-box

keys Return
wait_for 10 "the program ends after Return" program_ended
status=0
wait "$program_pid" || status=$?
program_pid=
[ "$status" = 1 ] || fail "exit code $status after No, 1 expected"
echo "ok: bilingual code page box, No by default, exit code 1"
