#!/bin/sh
# Sets up the two CUPS queues the print tests use (needs root; CI runs it):
#   KorvaneTestPDF    a cups-pdf queue that really prints, into PDF files;
#   KorvaneTestPhoto  a photo printer with input slots, media types and a disc
#                     tray (tests/print/data/KorvaneTestPhoto.ppd); its jobs are
#                     held, so tests read their options and data, then cancel them;
#   KorvaneTestRejecting  the same printer refusing every job (tests of refusal);
#   KorvaneTestXP8500, KorvaneTestIP7250  two real disc-tray printers with
#                     Gutenprint's own driver PPDs (printer-driver-gutenprint:
#                     Epson Expression Photo XP-8500, Canon PIXMA iP7250),
#                     printing to /dev/null, their jobs held like the photo one.
# Starts cupsd when it is not running (CI containers have no service manager).
# Touches no other queue. Without root it says so and leaves everything alone:
# the tests that need the queues then skip.
set -e
cd "$(dirname "$0")/.."
PPD="$PWD/tests/print/data/KorvaneTestPhoto.ppd"

if [ "$(id -u)" -ne 0 ]; then
    echo "setup-test-printers: needs root to configure CUPS; the printer tests will skip." >&2
    exit 0
fi
if ! command -v cupsd >/dev/null 2>&1 || ! command -v lpadmin >/dev/null 2>&1; then
    echo "setup-test-printers: cupsd or lpadmin missing (run scripts/install-deps.sh); the printer tests will skip." >&2
    exit 0
fi

running() { lpstat -r 2>/dev/null | grep -q "is running"; }

# The photo queue writes to file:///dev/null, which cupsd allows only with FileDevice.
files_conf=/etc/cups/cups-files.conf
restart=0
if ! grep -qi '^FileDevice[[:space:]]\+Yes' "$files_conf" 2>/dev/null; then
    echo "FileDevice Yes" >> "$files_conf"
    restart=1
fi

if running && [ "$restart" -eq 1 ]; then
    # Restart so that the new FileDevice setting takes effect.
    if [ -f /run/cups/cupsd.pid ]; then
        kill "$(cat /run/cups/cupsd.pid)" 2>/dev/null || true
    elif command -v service >/dev/null 2>&1; then
        service cups stop >/dev/null 2>&1 || true
    fi
    i=0
    while running && [ $i -lt 50 ]; do sleep 0.2; i=$((i + 1)); done
fi
if ! running; then
    mkdir -p /run/cups /var/spool/cups /var/log/cups
    cupsd
    i=0
    while ! running && [ $i -lt 50 ]; do sleep 0.2; i=$((i + 1)); done
fi
if ! running; then
    echo "setup-test-printers: cupsd did not start; the printer tests will skip." >&2
    exit 0
fi

# The cups-pdf queue (the PPD that printer-driver-cups-pdf installs).
pdf_ppd=""
for f in /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd /usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd \
         /usr/share/ppd/cups-pdf/CUPS-PDF.ppd; do
    [ -f "$f" ] && { pdf_ppd="$f"; break; }
done
if [ -n "$pdf_ppd" ]; then
    lpadmin -p KorvaneTestPDF -E -v cups-pdf:/ -P "$pdf_ppd" \
        -D "Korvane test printer (PDF files)" -o printer-error-policy=abort-job
else
    echo "setup-test-printers: cups-pdf is not installed; KorvaneTestPDF is not set up." >&2
fi

# The photo printer; every job waits in the queue until a test cancels it.
lpadmin -p KorvaneTestPhoto -E -v file:///dev/null -P "$PPD" \
    -D "Korvane test photo printer (jobs are held)" \
    -o job-hold-until-default=indefinite -o printer-error-policy=abort-job

# A queue that exists but takes no jobs.
lpadmin -p KorvaneTestRejecting -v file:///dev/null -P "$PPD" \
    -D "Korvane test printer that refuses jobs" -o job-hold-until-default=indefinite
cupsenable KorvaneTestRejecting
cupsreject -r "Korvane test: refuses every job" KorvaneTestRejecting

# Real drivers: Gutenprint's PPDs, found by model (the driver's version is in
# its name). Without printer-driver-gutenprint these two are not set up.
gutenprint_queue() {  # QUEUE MODEL DESCRIPTION
    model=$(lpinfo -m 2>/dev/null | grep -i "^gutenprint.*$2 " | grep -i "/expert " | head -1 | cut -d' ' -f1)
    if [ -z "$model" ]; then
        echo "setup-test-printers: no Gutenprint driver for $2 (install printer-driver-gutenprint); $1 is not set up." >&2
        return 0
    fi
    lpadmin -p "$1" -E -v file:///dev/null -m "$model" -D "$3 (Korvane test, jobs are held)" \
        -o job-hold-until-default=indefinite -o printer-error-policy=abort-job
}
gutenprint_queue KorvaneTestXP8500 "escp2-xp8500/expert" "Epson Expression Photo XP-8500"
gutenprint_queue KorvaneTestIP7250 "bjc-PIXMA-iP7250/expert" "Canon PIXMA iP7250"

lpstat -v 2>/dev/null | grep Korvane || true
