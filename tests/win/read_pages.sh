#!/bin/sh
# Reads back what a test printed to the test run's cups-pdf queue.
#   read_pages.sh TOKEN [count]
# Waits until the queue is idle, finds the PDF whose name holds TOKEN (the
# document name the test printed under; every server's PDFs share one
# folder, and job numbers repeat from server to server), and writes
# $MOKURE_PAGES_DIR/TOKEN.txt: a line "pages N" (0 when nothing was
# printed), then for each page a line "page K" and the page's text as
# Tesseract reads it (Wine's PostScript driver embeds the Japanese font
# without a text map, so the text is read from the picture), one line of
# the page to a line: the line's left edge in pixels at 150 dpi, a tab, and
# its words. With "count", only the pages are counted. A line "blank" says
# that every page came out empty; lines "log ..." then give the print
# server's and cups-pdf's log lines for that job, or for jobs the server
# could not finish. The PDF is removed once read; the first page's picture
# is kept as printed-page.png under $MOKURE_SHOTS.
set -u
token=$1
mode=${2:-read}
out="$MOKURE_PAGES_DIR/$token.txt"
work=$(mktemp -d "$MOKURE_PAGES_DIR/work-XXXXXX")
trap 'rm -rf "$work"' EXIT

# Wine hands the job to the server before EndDoc returns: once the queue is
# idle, the job's PDF is complete or there is none. A job that the server
# stopped or holds stays in the queue; it is not waited for.
stuck=
deadline=$(($(date +%s) + 60))
while :; do
    jobs=$(LC_ALL=C lpstat -l -o 2>/dev/null)
    [ -z "$jobs" ] && break
    if echo "$jobs" | grep -q 'Alerts:.*\(error\|stopped\|hold\|canceled\|aborted\)'; then
        stuck=$(echo "$jobs" | awk '/^[^ \t]/ { sub(/.*-/, "", $1); print $1 }')
        break
    fi
    [ "$(date +%s)" -ge "$deadline" ] && break
    sleep 0.1
done

pdf=
for f in "$MOKURE_PDF_DIR"/*"$token"*.pdf; do
    [ -f "$f" ] && pdf=$f
done

# The server's lines for job $1, and cups-pdf's lines for the file $2.
job_log() {
    grep -F "[Job $1]" "${MOKURE_CUPS_LOG:-/dev/null}" 2>/dev/null | tail -n 30 | sed 's/^/log /'
    [ -n "${2:-}" ] && [ -r "${MOKURE_PDF_LOG:-}" ] && awk -v file="$2" '
        /initialization finished/ { if (found) exit; n = 0 }
        { block[++n] = $0 }
        index($0, "output filename created: " file) { found = 1 }
        END { if (found) for (i = 1; i <= n && i <= 40; i++) print "log cups-pdf: " block[i] }
    ' "$MOKURE_PDF_LOG"
}

# True when the page's picture holds no dark pixel.
blank_picture() {
    [ "$(identify -format '%[fx:minima]' "$1" 2>/dev/null)" = 1 ]
}

{
    if [ -z "$pdf" ]; then
        echo "pages 0"
        for job in $stuck; do
            job_log "$job"
        done
    else
        pages=$(pdfinfo "$pdf" 2>/dev/null | awk '/^Pages:/ { print $2 }')
        echo "pages ${pages:-0}"
        if [ "$mode" = read ]; then
            pdftoppm -r 150 -gray -png "$pdf" "$work/page"
        else
            pdftoppm -r 20 -gray -png "$pdf" "$work/page"
        fi
        blank=yes
        for png in "$work"/page*.png; do
            [ -f "$png" ] && ! blank_picture "$png" && blank=
        done
        if [ -n "$blank" ]; then
            echo "blank"
            job=$(basename "$pdf" .pdf | sed -n 's/.*-job_\([0-9]*\)$/\1/p; s/^job_\([0-9]*\)-.*/\1/p')
            job_log "${job:-none}" "$pdf"
        elif [ "$mode" = read ]; then
            k=0
            for png in "$work"/page*.png; do
                k=$((k + 1))
                LC_ALL=C OMP_THREAD_LIMIT=1 tesseract "$png" "$work/text-$k" -l jpn --psm 6 tsv >/dev/null 2>&1 &
            done
            wait
            for i in $(seq 1 "$k"); do
                echo "page $i"
                awk -F '\t' '
                    $1 == 4 { key = $3 "." $4 "." $5; order[++n] = key; left[key] = $7 }
                    $1 == 5 && $12 != "" { words[$3 "." $4 "." $5] = words[$3 "." $4 "." $5] $12 }
                    END { for (i = 1; i <= n; i++) if (words[order[i]] != "") print left[order[i]] "\t" words[order[i]] }
                ' "$work/text-$i.tsv" 2>/dev/null
            done
        fi
        if [ "$mode" = read ] && [ -n "${MOKURE_SHOTS:-}" ]; then
            mkdir -p "$MOKURE_SHOTS"
            cp "$(ls "$work"/page*.png | head -n 1)" "$MOKURE_SHOTS/printed-page.png"
        fi
        rm -f "$pdf"
    fi
} > "$out.part"
mv "$out.part" "$out"
