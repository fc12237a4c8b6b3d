# Shared by the scripts that run the program under Wine: the environment,
# the Wine prefix, a virtual display and a Wine server, each stopped by its
# own process id. Source it; call stop_started at exit.

MOKURE_ROOT=${MOKURE_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEPREFIX=${WINEPREFIX:-$MOKURE_ROOT/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=ja_JP.UTF-8

started_pids=()

# With "desktop", every window of the prefix lives in one virtual desktop
# window that Wine draws itself, title bars included, so that tests and
# screenshots do not depend on a window manager.
ensure_wine_prefix() {
    if [ -f "$WINEPREFIX/.mokure-ready" ]; then
        ensure_font_replacements
        return
    fi
    echo "wine: creating the Wine prefix in $WINEPREFIX (once)"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    # A crash must fail a test, not wait for someone to close a dialog.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    # Debian's Wine does not find its own symbol font, which draws the
    # caption buttons; the prefix's font folder is always searched.
    if [ -f /usr/share/wine/fonts/marlett.ttf ]; then
        cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
    fi
    if [ "${1:-}" = desktop ]; then
        wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f >/dev/null 2>&1
        wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 1280x1000 /f >/dev/null 2>&1
    fi
    wineserver -w
    touch "$WINEPREFIX/.mokure-ready"
    ensure_font_replacements
}

# The Japanese faces that every Japanese Windows has, made from the IPA
# fonts, so that they resolve under C.UTF-8 as well, where Wine would fall
# back to any font with the character set. MS UI Gothic is the face that
# code page 932 gives dialogs and links to the system font.
ensure_font_replacements() {
    if [ -f "$WINEPREFIX/.mokure-fonts" ]; then
        return
    fi
    # One import for all of them; regedit reads UTF-16 with its byte order mark.
    local reg="$WINEPREFIX/mokure-fonts.reg"
    {
        printf '\xff\xfe'
        printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
            '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' \
            '"ＭＳ 明朝"="IPAMincho"' '"ＭＳ ゴシック"="IPAGothic"' '"MS UI Gothic"="IPAGothic"' '' |
            iconv -f UTF-8 -t UTF-16LE
    } >"$reg"
    wine regedit /S "Z:$(printf '%s' "$reg" | tr / '\\')" >/dev/null 2>&1
    wineserver -w
    rm -f "$reg"
    # regedit ends with 0 even when it could not import: the values tell.
    if ! font_replaced 'ＭＳ 明朝' IPAMincho || ! font_replaced 'ＭＳ ゴシック' IPAGothic ||
        ! font_replaced 'MS UI Gothic' IPAGothic; then
        echo "wine: regedit did not set the Japanese font replacements in $WINEPREFIX" >&2
        return 1
    fi
    touch "$WINEPREFIX/.mokure-fonts"
}

font_replaced() {
    local said
    said=$(wine reg query 'HKCU\Software\Wine\Fonts\Replacements' /v "$1" 2>/dev/null | tr -d '\r') || return 1
    grep -q "REG_SZ *$2\$" <<<"$said"
}

start_display() {
    local n=99
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do
        n=$((n + 1))
    done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    started_pids+=($!)
    export DISPLAY=":$n"
    for _ in $(seq 1 100); do
        if xdpyinfo >/dev/null 2>&1 || [ -e "/tmp/.X11-unix/X$n" ]; then
            return 0
        fi
        sleep 0.1
    done
    echo "wine: the virtual display did not start" >&2
    return 1
}

wineserver_pid=

start_wineserver() {
    # A persistent server keeps every wine start in the tests quick.
    wineserver -f -p >/dev/null 2>&1 &
    wineserver_pid=$!
    started_pids+=("$wineserver_pid")
    sleep 0.2
    # Wine's own background processes (services, the desktop) start now,
    # with no inherited output, so that no test's output pipe stays open
    # after the test has ended.
    wine explorer.exe /desktop=Default,1280x1000 cmd.exe /c exit >/dev/null 2>&1 </dev/null || true
}

stop_started() {
    local pid
    for ((i = ${#started_pids[@]} - 1; i >= 0; i--)); do
        pid=${started_pids[$i]}
        if kill -0 "$pid" 2>/dev/null; then
            if [ "$pid" = "$wineserver_pid" ]; then
                # Ends the programs still running under this server first.
                wineserver -k >/dev/null 2>&1 || true
            fi
            kill "$pid" 2>/dev/null || true
            wait "$pid" 2>/dev/null || true
        fi
    done
    started_pids=()
}
