#!/bin/sh
# Fresh Debian 12: install packages, build, start the program.
set -e
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
./scripts/build.sh
if [ -x build/bin/korvane ]; then
  if [ -z "$DISPLAY" ] && [ -z "$WAYLAND_DISPLAY" ] && [ -z "$QT_QPA_PLATFORM" ]; then
    echo "korvane: no display. Start it under a virtual one:  xvfb-run -a build/bin/korvane" >&2
    exit 1
  fi
  exec build/bin/korvane
fi
# Until the main window is built, show the shipped cover formats.
exec build/bin/korvane-cli formats build/bin/Korvane.dat
