# A print server of the test run's own: cupsd reached through CUPS_SERVER,
# so that no system CUPS is touched, with one cups-pdf queue "PDF" as the
# default and its logs under the build folder. Source it after wine-env.sh;
# start_cups adds its cupsd to started_pids, so that stop_started ends it by
# its pid.
#
# The filters run as the user lp and read the job's files, the configuration
# and the PPD: those live in a short folder under /tmp that lp can reach.
# Under the build folder they are unreadable wherever a parent of the checkout
# is closed to others (a home folder, a mktemp folder): pstops then fails,
# cups-pdf turns the empty input into a blank untitled page, and the job
# stays stopped in the queue. So every folder and file here gets its mode
# explicitly, whatever the umask.

export MOKURE_LONG_QUEUE=MokureQueueWithANameLongerThanADeviceRecordHolds

start_cups() {
    local logs=$1
    rm -rf "$logs"
    mkdir -p "$logs/log"
    cups_socket_dir=$(mktemp -d /tmp/mokure-cups-XXXXXX)
    chmod 755 "$cups_socket_dir"
    local root=$cups_socket_dir
    mkdir -m 755 "$root/conf" "$root/conf/ppd" "$root/spool" "$root/cache" "$root/state"
    # The filters keep their work files here.
    mkdir -m 1777 "$root/spool/tmp"
    cat > "$root/conf/cups-files.conf" <<CONF
ServerRoot $root/conf
RequestRoot $root/spool
TempDir $root/spool/tmp
CacheDir $root/cache
StateDir $root/state
ErrorLog $logs/log/error_log
AccessLog $logs/log/access_log
PageLog $logs/log/page_log
SystemGroup root
FileDevice No
CONF
    # "info" logs each job's filters and their complaints, which a test
    # shows when its job comes out wrong.
    cat > "$root/conf/cupsd.conf" <<CONF
Listen $root/cups.sock
LogLevel info
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
    chmod 644 "$root/conf/cups-files.conf" "$root/conf/cupsd.conf"
    cupsd -f -c "$root/conf/cupsd.conf" -s "$root/conf/cups-files.conf" >"$logs/log/cupsd.out" 2>&1 &
    started_pids+=($!)
    export CUPS_SERVER="$root/cups.sock"
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
        cat "$logs/log/cupsd.out" "$logs/log/error_log" >&2 2>/dev/null || true
        return 1
    fi
    add_pdf_queue PDF || return 1
    lpadmin -d PDF || return 1
    # A queue whose name does not fit the 31 bytes of a device record.
    add_pdf_queue "$MOKURE_LONG_QUEUE" || return 1
    # Where cups-pdf writes and logs: its Out and Log settings, ${HOME}
    # being the home of the user who prints. Its settings come only from
    # /etc/cups (a PPD option's default cannot hold a path, and job options
    # may not set Out), so every server's PDFs meet in one folder, and each
    # test finds its own by the unique name it printed under.
    local out home
    out=$(awk '$1 == "Out" { $1 = ""; sub(/^ /, ""); print; exit }' /etc/cups/cups-pdf.conf 2>/dev/null)
    out=${out:-'${HOME}/PDF'}
    home=$(getent passwd "$(id -un)" | cut -d: -f6)
    export MOKURE_PDF_DIR=${out//'${HOME}'/$home}
    mkdir -p "$MOKURE_PDF_DIR"
    local pdflog
    pdflog=$(awk '$1 == "Log" { print $2; exit }' /etc/cups/cups-pdf.conf 2>/dev/null)
    export MOKURE_PDF_LOG=${pdflog:-/var/log/cups}/cups-pdf-PDF_log
    export MOKURE_CUPS_LOG=$logs/log/error_log
    # A line for each job with its queue, as the server counts its pages.
    export MOKURE_CUPS_PAGE_LOG=$logs/log/page_log
    export MOKURE_PAGES_DIR="$root/pages"
    mkdir -p "$MOKURE_PAGES_DIR"
}

# A cups-pdf queue. lpadmin warns on every queue made from a PPD file that
# such drivers are deprecated: that line alone is left out of what it says.
add_pdf_queue() {
    local said
    said=$(LC_ALL=C lpadmin -p "$1" -v cups-pdf:/ -E -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd 2>&1) || {
        echo "cups: lpadmin could not make the queue $1: $said" >&2
        return 1
    }
    grep -v -e '^$' -e 'drivers are deprecated' <<<"$said" >&2 || true
}

stop_cups_files() {
    if [ -n "${cups_socket_dir:-}" ]; then
        rm -rf "$cups_socket_dir"
    fi
}
