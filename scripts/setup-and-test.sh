#!/bin/sh
# Fresh Debian 12: install packages, build, run the whole test suite.
set -e
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
./scripts/build.sh
[ -x scripts/setup-test-printers.sh ] && ./scripts/setup-test-printers.sh
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j 2
