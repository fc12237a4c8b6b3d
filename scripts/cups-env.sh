# A print server of the test run's own: cupsd with its configuration and
# spool under the build folder, one cups-pdf queue "PDF" as the default,
# reached through CUPS_SERVER so that no system CUPS is touched. Source it
# after wine-env.sh; start_cups adds its cupsd to started_pids, so that
# stop_started ends it by its pid.

export MOKURE_LONG_QUEUE=MokureQueueWithANameLongerThanADeviceRecordHolds

start_cups() {
    local root=$1
    rm -rf "$root"
    mkdir -p "$root/conf" "$root/spool/tmp" "$root/cache" "$root/state" "$root/log"
    # The filters run as the user lp and keep their work files here.
    chmod 1777 "$root/spool/tmp"
    # A Unix socket path is short; the build folder may be deep.
    cups_socket_dir=$(mktemp -d /tmp/mokure-cups-XXXXXX)
    chmod 755 "$cups_socket_dir"
    cat > "$root/conf/cups-files.conf" <<CONF
ServerRoot $root/conf
RequestRoot $root/spool
TempDir $root/spool/tmp
CacheDir $root/cache
StateDir $root/state
ErrorLog $root/log/error_log
AccessLog $root/log/access_log
PageLog $root/log/page_log
SystemGroup root
FileDevice No
CONF
    cat > "$root/conf/cupsd.conf" <<CONF
Listen $cups_socket_dir/cups.sock
LogLevel warn
WebInterface No
Browsing No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
    cupsd -f -c "$root/conf/cupsd.conf" -s "$root/conf/cups-files.conf" >"$root/log/cupsd.out" 2>&1 &
    started_pids+=($!)
    export CUPS_SERVER="$cups_socket_dir/cups.sock"
    local up=
    for _ in $(seq 1 100); do
        if LC_ALL=C lpstat -r 2>/dev/null | grep -q "is running"; then
            up=yes
            break
        fi
        sleep 0.1
    done
    if [ -z "$up" ]; then
        echo "cups: the print server did not start:" >&2
        cupsd -t -c "$root/conf/cupsd.conf" -s "$root/conf/cups-files.conf" >&2 || true
        cat "$root/log/cupsd.out" "$root/log/error_log" >&2 2>/dev/null || true
        return 1
    fi
    lpadmin -p PDF -v cups-pdf:/ -E -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd 2>/dev/null
    lpadmin -d PDF
    # A queue whose name does not fit the 31 bytes of a device record.
    lpadmin -p "$MOKURE_LONG_QUEUE" -v cups-pdf:/ -E -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd 2>/dev/null
    # Where cups-pdf writes: its Out setting, ${HOME} being the home of the
    # user who prints.
    local out home
    out=$(awk '$1 == "Out" { $1 = ""; sub(/^ /, ""); print; exit }' /etc/cups/cups-pdf.conf 2>/dev/null)
    out=${out:-'${HOME}/PDF'}
    home=$(getent passwd "$(id -un)" | cut -d: -f6)
    export MOKURE_PDF_DIR=${out//'${HOME}'/$home}
    mkdir -p "$MOKURE_PDF_DIR"
    export MOKURE_PAGES_DIR="$cups_socket_dir/pages"
    mkdir -p "$MOKURE_PAGES_DIR"
}

stop_cups_files() {
    if [ -n "${cups_socket_dir:-}" ]; then
        rm -rf "$cups_socket_dir"
    fi
}
