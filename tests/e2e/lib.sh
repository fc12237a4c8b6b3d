# Shared by the end-to-end tests: the real program under Wine, driven from
# outside. Arguments of every test: the program, the driver, the output folder.

set -euo pipefail
EXE=$1
DRIVER=$2
OUT=$3
mkdir -p "$OUT"
program_pid=

# The program keeps recovery copies in the prefix's local application data;
# each test starts without any that an earlier one left by stopping it.
recovery_folder="${WINEPREFIX:-$HOME/.wine}/drive_c/users/$(id -un)/AppData/Local/モクレ/復元"
rm -rf "$(dirname "$recovery_folder")"

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Starts the program with the given arguments, under MOKURE_PROGRAM_LANG
# when that is set; waits until its frame is up.
start_program() {
    LANG=${MOKURE_PROGRAM_LANG:-$LANG} wine "$EXE" "$@" >/dev/null 2>&1 &
    program_pid=$!
    wine "$DRIVER" wait-frame 30000 >/dev/null || fail "the frame did not come up"
}

driver() {
    wine "$DRIVER" "$@" | tr -d '\r'
}

# The X window that shows the Wine desktop, to send keys to.
# A window that closes while xdotool walks the tree makes it fail with
# BadWindow: the walk is tried again.
desktop_window() {
    local w= tries
    for tries in 1 2 3 4 5; do
        w=$(xdotool search --name 'Wine' 2>/dev/null | head -n 1) || w=
        [ -n "$w" ] && break
        sleep 0.2
    done
    echo "$w"
}

# Sends keys to the Wine desktop; the caller waits for what they cause.
keys() {
    local w
    w=$(desktop_window)
    [ -n "$w" ] && xdotool windowfocus --sync "$w" 2>/dev/null || true
    xdotool key --delay 80 "$@"
}

# Polls a condition until it holds or the deadline passes, then fails with
# what the condition last saw (it leaves that in $seen).
#   wait_for SECONDS "what is awaited" COMMAND [ARG...]
seen=
wait_for() {
    local seconds=$1 what=$2
    shift 2
    local deadline=$((SECONDS + seconds))
    until "$@"; do
        if ((SECONDS >= deadline)); then
            fail "$what: not so after ${seconds}s; seen: ${seen:-nothing}"
        fi
        sleep 0.1
    done
}

# Conditions for wait_for.
documents_are() {
    seen=$(driver documents)
    [ "$seen" = "$1" ]
}

file_holds() {
    seen=$(od -An -c "$2" 2>&1 | head -c 400)
    printf '%b' "$1" | cmp -s - "$2"
}

menu_closed() {
    seen=$(driver wait-class '#32768' 0) || return 0
    return 1
}

no_dialog() {
    seen=$(driver wait-dialog 0) || return 0
    return 1
}

screenshot() {
    import -window root "$OUT/$1.png"
    echo "screenshot: $OUT/$1.png"
}

# Asks the frame to close and waits for the program to end.
close_program() {
    [ -n "$program_pid" ] || return 0
    driver close >/dev/null || true
    wait_for 10 "the program ends after close" program_ended
    program_pid=
}

program_ended() {
    seen="process $program_pid still running"
    ! kill -0 "$program_pid" 2>/dev/null
}

stop_program() {
    if [ -n "$program_pid" ] && kill -0 "$program_pid" 2>/dev/null; then
        kill "$program_pid" 2>/dev/null || true
        wait "$program_pid" 2>/dev/null || true
    fi
}
trap stop_program EXIT
