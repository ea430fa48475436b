#!/bin/sh
# Configures and builds Korvane into build/ (the program lands in build/bin/).
set -e
cd "$(dirname "$0")/.."
[ -f build/build.ninja ] || cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build build -j "${KORVANE_JOBS:-2}"
