# The end-to-end tests once more on a system whose code page is 1252, as an
# English Windows 11 is: the program runs under LANG=C.UTF-8 in the same Wine
# prefix, where the manifest's ja-JP gives it code page 932 and the prefix's
# font replacements make the Japanese faces resolve. The driver and the other
# Wine tools stay on the test run's locale: every process of another code
# page makes Wine rewrite the prefix's font settings (win32u's
# update_codepage), and they read only UTF-16 text.
source "$(dirname "$0")/lib.sh"

export MOKURE_PROGRAM_LANG=C.UTF-8
here=$(dirname "$0")
for script in startup open_and_save file_dialogs search_dialogs printing wrap_and_font; do
    started=$SECONDS
    bash "$here/$script.sh" "$EXE" "$DRIVER" "$OUT/code-page-1252" || fail "$script under LANG=C.UTF-8"
    echo "time: $script $((SECONDS - started))s"
done
echo "ok: start-up, open and save with a backup, file dialogs, search, printing, wrap and font on code page 1252"
