#!/usr/bin/env bash
# Starts a private cupsd with a PDF file queue "ci-pdf" (the default printer)
# and runs a CUPS printing test program against it. Exits 77 (skipped) when
# CUPS cannot be started.
set -u
test_binary="$1"
command -v cupsd >/dev/null && command -v lpadmin >/dev/null || exit 77
ppd=lsb/usr/cupsfilters/Generic-PDF_Printer-PDF.ppd
T=$(mktemp -d /tmp/zumoria-cups.XXXXXX)
chmod 755 "$T" # filters run as lp and read the queue description here
mkdir -p "$T/conf/ppd" "$T/spool/tmp" "$T/cache" "$T/state" "$T/log" "$T/out"
chmod 1777 "$T/out" "$T/spool/tmp"
cat > "$T/conf/cupsd.conf" <<CONF
Listen $T/cups.sock
LogLevel warn
WebInterface No
<Location />
  Order allow,deny
  Allow all
</Location>
<Location /admin>
  Order allow,deny
  Allow all
</Location>
CONF
cat > "$T/conf/cups-files.conf" <<CONF
FileDevice Yes
SystemGroup root
ServerRoot $T/conf
RequestRoot $T/spool
TempDir $T/spool/tmp
CacheDir $T/cache
StateDir $T/state
ErrorLog $T/log/error_log
AccessLog $T/log/access_log
PageLog $T/log/page_log
Sandboxing relaxed
CONF
cupsd -f -c "$T/conf/cupsd.conf" -s "$T/conf/cups-files.conf" >"$T/log/cupsd.out" 2>&1 &
cupsd_pid=$!
cleanup() { kill "$cupsd_pid" 2>/dev/null; wait "$cupsd_pid" 2>/dev/null; rm -rf "$T"; }
[ -n "${ZUMORIA_KEEP_CUPS:-}" ] || trap cleanup EXIT
export CUPS_SERVER="$T/cups.sock"
for _ in $(seq 50); do [ -S "$T/cups.sock" ] && break; sleep 0.2; done
if [ ! -S "$T/cups.sock" ] || ! kill -0 "$cupsd_pid" 2>/dev/null; then
  echo "cupsd did not start"; cat "$T/log/cupsd.out"; exit 77
fi
if ! lpadmin -p ci-pdf -E -v "file://$T/out/job.prn" -m "$ppd" 2>"$T/log/lpadmin.out"; then
  echo "no PDF queue"; cat "$T/log/lpadmin.out"; exit 77
fi
# The queue is also the default printer, the one a report prints on unless
# told otherwise.
lpadmin -d ci-pdf 2>>"$T/log/lpadmin.out" || { echo "no default queue"; cat "$T/log/lpadmin.out"; exit 77; }
# The user's own choice of a default (lpoptions) must not win over it.
export LPDEST=ci-pdf PRINTER=ci-pdf
ZUMORIA_CUPS_JOB="$T/out/job.prn" QT_QPA_PLATFORM=offscreen "$test_binary"
