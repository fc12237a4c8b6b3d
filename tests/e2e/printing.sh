# The page layout dialog opens from its accelerator with the layout in its
# fields; its print button prints the document on the default printer, one
# page with the header and the footer, read back from the PDF queue.
source "$(dirname "$0")/lib.sh"

if [ -z "${MOKURE_PDF_DIR:-}" ] || [ -z "${CUPS_SERVER:-}" ]; then
    echo "skip: no PDF queue of the test script (scripts/test.sh starts one)"
    exit 0
fi

dir="$OUT/printing"
rm -rf "$dir"
mkdir -p "$dir"
printf '印字の試験です\r\n二行目\r\n' | iconv -f UTF-8 -t CP932 > "$dir/memo.txt"

last_job() {
    LC_ALL=C lpstat -W completed -o 2>/dev/null | awk '{ sub(/.*-/, "", $1); print $1 }' | sort -n | tail -n 1
}
before=$(last_job)

start_program "$(winepath -w "$dir/memo.txt")"
keys ctrl+apostrophe
box=$(driver wait-dialog 10000) || fail "no page layout dialog"
screenshot page-layout
for text in '頁の割付の設定' '余白（ミリメートル）' '印字(&ｲ)'; do
    echo "$box" | grep -qF -- "$text" || fail "no $text in: $box"
done
driver press 804

job_done() {
    local job
    job=$(last_job)
    seen="last completed job ${job:-none}"
    [ -n "$job" ] && [ "$job" != "$before" ] && [ -z "$(LC_ALL=C lpstat -o 2>/dev/null)" ]
}
wait_for 60 "the job is printed" job_done
job=$(last_job)
pdf=
for f in "$MOKURE_PDF_DIR"/*"-job_$job.pdf" "$MOKURE_PDF_DIR/job_$job-"*.pdf; do
    [ -f "$f" ] && pdf=$f
done
[ -n "$pdf" ] || fail "no PDF of job $job in $MOKURE_PDF_DIR"
pages=$(pdfinfo "$pdf" | awk '/^Pages:/ { print $2 }')
[ "$pages" = 1 ] || fail "one page expected, $pages printed"
pdftoppm -r 150 -gray -png -singlefile "$pdf" "$OUT/printed-memo"
rm -f "$pdf"
text=$(LC_ALL=C tesseract "$OUT/printed-memo.png" - -l jpn --psm 6 2>"$OUT/tesseract.log" | tr -d " ")
echo "screenshot: $OUT/printed-memo.png"
for line in '文書名' 'MEMO.TXT' '印字の試験です' '二行目' '-1-'; do
    echo "$text" | sed 's/ー/-/g; s/：/:/g' | grep -qF -- "$line" || fail "no $line on the page: $text"
done

close_program
echo "ok: page layout dialog, print button, one page with header and footer"
