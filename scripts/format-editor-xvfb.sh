#!/bin/bash
# Under a virtual display, as a new user: Options > Format Editor... opens the
# window titled "Format Editor", Escape closes it, and Korvane.dat stays byte
# for byte as it was. Leaves a screenshot of the opened editor in $1
# (default docs/screenshots/format-editor-xvfb.png).
# Usage: scripts/format-editor-xvfb.sh [screenshot.png]   (after a build)
set -euo pipefail
cd "$(dirname "$0")/.."
shot=$(realpath -m "${1:-docs/screenshots/format-editor-xvfb.png}")
bin=$PWD/build/bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/home" "$work/program"
cp "$bin/Korvane.dat" "$work/program/"
cp -r "$bin/languages" "$work/program/" 2>/dev/null || true
cp "$work/program/Korvane.dat" "$work/Korvane.dat.before"

HOME=$work/home KORVANE_HOME=$work/program SHOT=$shot BIN=$bin \
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
set -euo pipefail
"$BIN/korvane" & pid=$!
trap "kill $pid 2>/dev/null || true" EXIT
main=$(xdotool search --sync --onlyvisible --name "^Korvane V" | head -1)
sleep 1
xdotool windowfocus --sync "$main"
# The Options menu opens on its first item; Up wraps to the last one
# ("Edit Formats File..."), the next Up reaches "Format Editor...".
xdotool key --delay 150 alt+o Up Up Return
editor=$(timeout 20 xdotool search --sync --onlyvisible --name "^Format Editor$" | head -1)
echo "opened: $(xdotool getwindowname "$editor")"
sleep 1
import -window root "$SHOT"
xdotool windowfocus --sync "$editor"
xdotool key Escape
sleep 1
if xdotool search --onlyvisible --name "^Format Editor$" >/dev/null; then
  echo "the Format Editor is still open" >&2; kill $pid; exit 1
fi
xdotool windowfocus --sync "$main"
xdotool key --delay 150 alt+f x
wait $pid
trap - EXIT
'
cmp "$work/Korvane.dat.before" "$work/program/Korvane.dat"
echo "Korvane.dat unchanged; screenshot: $shot"
