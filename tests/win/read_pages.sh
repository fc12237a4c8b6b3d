#!/bin/sh
# Reads back what a Wine test printed to the test run's cups-pdf queue.
#   read_pages.sh TOKEN [count]
# Waits until the queue is idle, finds the PDF whose name holds TOKEN, and
# writes $MOKURE_PAGES_DIR/TOKEN.txt: a line "pages N" (0 when nothing was
# printed), then for each page a line "page K" and the page's text as
# Tesseract reads it (Wine's PostScript driver embeds the Japanese font
# without a text map, so the text is read from the picture), one line of
# the page to a line: the line's left edge in pixels at 150 dpi, a tab, and
# its words. With "count",
# only the pages are counted. The PDF is removed once read; the first page's
# picture is kept as printed-page.png under $MOKURE_SHOTS.
set -u
token=$1
mode=${2:-read}
out="$MOKURE_PAGES_DIR/$token.txt"
work=$(mktemp -d "$MOKURE_PAGES_DIR/work-XXXXXX")
trap 'rm -rf "$work"' EXIT

deadline=$(($(date +%s) + 60))
while [ -n "$(LC_ALL=C lpstat -o 2>/dev/null)" ] && [ "$(date +%s)" -lt "$deadline" ]; do
    sleep 0.1
done

pdf=
for f in "$MOKURE_PDF_DIR"/*"$token"*.pdf; do
    [ -f "$f" ] && pdf=$f
done

{
    if [ -z "$pdf" ]; then
        echo "pages 0"
    else
        pages=$(pdfinfo "$pdf" 2>/dev/null | awk '/^Pages:/ { print $2 }')
        echo "pages ${pages:-0}"
        if [ "$mode" = read ]; then
            pdftoppm -r 150 -gray -png "$pdf" "$work/page"
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
            if [ -n "${MOKURE_SHOTS:-}" ]; then
                mkdir -p "$MOKURE_SHOTS"
                cp "$(ls "$work"/page*.png | head -n 1)" "$MOKURE_SHOTS/printed-page.png"
            fi
        fi
        rm -f "$pdf"
    fi
} > "$out.part"
mv "$out.part" "$out"
