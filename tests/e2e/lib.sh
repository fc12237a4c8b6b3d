# Shared by the end-to-end tests: the real program under Wine, driven from
# outside. Arguments of every test: the program, the driver, the output folder.

set -euo pipefail
EXE=$1
DRIVER=$2
OUT=$3
mkdir -p "$OUT"
program_pid=

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Starts the program with the given arguments; waits until its frame is up.
start_program() {
    wine "$EXE" "$@" >/dev/null 2>&1 &
    program_pid=$!
    wine "$DRIVER" wait-frame 30000 >/dev/null || fail "the frame did not come up"
}

driver() {
    wine "$DRIVER" "$@" | tr -d '\r'
}

# The X window that shows the Wine desktop, to send keys to.
desktop_window() {
    xdotool search --name 'Wine' | head -n 1
}

keys() {
    local w
    w=$(desktop_window)
    [ -n "$w" ] && xdotool windowfocus --sync "$w" 2>/dev/null || true
    xdotool key --delay 80 "$@"
    sleep 0.5
}

screenshot() {
    import -window root "$OUT/$1.png"
    echo "screenshot: $OUT/$1.png"
}

# Asks the frame to close and waits for the program to end.
close_program() {
    [ -n "$program_pid" ] || return 0
    driver close >/dev/null || true
    for _ in $(seq 1 100); do
        kill -0 "$program_pid" 2>/dev/null || { program_pid=; return 0; }
        sleep 0.1
    done
    fail "the program did not end after close"
}

stop_program() {
    if [ -n "$program_pid" ] && kill -0 "$program_pid" 2>/dev/null; then
        kill "$program_pid" 2>/dev/null || true
        wait "$program_pid" 2>/dev/null || true
    fi
}
trap stop_program EXIT
