#!/bin/sh
# Fresh Debian 12: install packages, build, start the program.
set -e
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
./scripts/build.sh
if [ -x build/bin/korvane ]; then
  if [ -z "$DISPLAY" ] && [ -z "$WAYLAND_DISPLAY" ] && [ -z "$QT_QPA_PLATFORM" ]; then
    echo "korvane: built, but there is no display to show its window on." >&2
    echo "Start it on a desktop, or under a virtual display (xvfb is installed):" >&2
    echo "    xvfb-run -a -s \"-screen 0 1280x1024x24\" build/bin/korvane" >&2
    exit 1
  fi
  exec build/bin/korvane
fi
# Built without the desktop program (-DKORVANE_GUI=OFF): show the shipped cover formats.
exec build/bin/korvane-cli formats build/bin/Korvane.dat
