# The page layout dialog opens from its accelerator with the layout in its
# fields; its print button prints the document on the default printer, one
# page with the header and the footer, read back from the PDF queue.
source "$(dirname "$0")/lib.sh"

if [ -z "${MOKURE_PDF_DIR:-}" ] || [ -z "${CUPS_SERVER:-}" ]; then
    echo "skip: no PDF queue of the test script (scripts/test.sh starts one)"
    exit 0
fi

# The job is named after the file's full path, and cups-pdf keeps only 64
# bytes of a name: a short folder, and a file name unique to this run, so
# that its PDF is found among those of every other run and server.
dir=$(mktemp -d /tmp/mkp-XXXX)
trap 'stop_program; rm -rf "$dir"' EXIT
name="M$(($(date +%s) % 100000))$$"
printf '印字の試験です\r\n二行目\r\n' | iconv -f UTF-8 -t CP932 > "$dir/$name.txt"

start_program "$(winepath -w "$dir/$name.txt")"
keys ctrl+apostrophe
box=$(driver wait-dialog 10000) || fail "no page layout dialog"
screenshot page-layout
for text in '頁の割付の設定' '余白（ミリメートル）' '印字(&ｲ)'; do
    echo "$box" | grep -qF -- "$text" || fail "no $text in: $box"
done
driver press 804

# The program names the job after the file: its PDF is found by that name
# once the server is idle, or the reader reports a job the server stopped.
job_over() {
    local jobs
    jobs=$(LC_ALL=C lpstat -l -o 2>/dev/null)
    seen="queue: ${jobs:-idle}; PDFs: $(ls "$MOKURE_PDF_DIR" | grep -F "$name" || true)"
    echo "$jobs" | grep -q 'Alerts:.*\(error\|stopped\|hold\)' && return 0
    [ -z "$jobs" ] && ls "$MOKURE_PDF_DIR" | grep -qF "$name"
}
pages_read() {
    seen=$(cat "$MOKURE_PAGES_DIR/$name.txt" 2>/dev/null) || { seen="no answer of the page reader"; return 1; }
}
wait_for 60 "the job is printed" job_over
sh "$MOKURE_READ_PAGES" "$name" read
pages_read || fail "the page is not read back: $seen"
if echo "$seen" | grep -qx 'blank\|log .*'; then
    fail "the print server printed a blank page or stopped the job: $seen"
fi
echo "$seen" | grep -qx 'pages 1' || fail "one page expected: $seen"
cp "$MOKURE_SHOTS/printed-page.png" "$OUT/printed-memo.png" 2>/dev/null || true
echo "screenshot: $OUT/printed-memo.png"
text=$(echo "$seen" | cut -f2- | sed 's/ー/-/g; s/：/:/g; s/－/-/g')
for line in '文書名' '.TXT' '印字の試験です' '二行目' '-1-'; do
    echo "$text" | grep -qiF -- "$line" || fail "no $line on the page: $text"
done

close_program
echo "ok: page layout dialog, print button, one page with header and footer"
