#!/usr/bin/env bash
# Makes docs/screenshot.png again: starts the real program under Wine on a
# short Japanese sample in a virtual display and keeps its picture.
set -euo pipefail
cd "$(dirname "$0")/.."

mkdir -p build/sample
sample=build/sample/memo.txt
# The program reads Shift-JIS with CR LF line ends.
iconv -f UTF-8 -t CP932 <<'TEXT' | sed 's/$/\r/' > "$sample"
モクレで書いた覚え書き

日付：西暦2026年12月8日（火）　時刻：9時5分

・保管するたびに前の版を「.世代」として残します。
・読み込むときに改行記号を確かめます。
・検索は全角文字の途中で止まりません（表・ソ・能）。
TEXT

shot=$(env -u DISPLAY scripts/run.sh "$sample" | tail -n 1)
# The program runs on a 1024x768 Wine desktop in the display's top left.
convert "$shot" -crop 1024x768+0+0 +repage docs/screenshot.png
echo "docs/screenshot.png made from $shot"
