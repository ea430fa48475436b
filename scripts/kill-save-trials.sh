#!/usr/bin/env bash
# Kill-during-save trials: korvane-cli rewrites a formats file (4000 sections
# unless told otherwise) and is killed (SIGKILL) at a random moment, again and
# again. After each kill
# the file must be the old one or the new one, whole; temporary files a kill
# leaves behind must be gone after the next save.
#
#   scripts/kill-save-trials.sh [KORVANE_CLI] [TRIALS] [SECTIONS]
#
# Prints the counts: old, new, partial (want 0), temporaries seen right after
# a kill, and debris left after a final save (want 0).
set -euo pipefail
cli=${1:-build/bin/korvane-cli}
trials=${2:-300}
sections=${3:-4000}
[ -x "$cli" ] || { echo "no korvane-cli at $cli" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
trap 'exit 130' INT TERM

# Two different formats files, each written once by the program itself so
# that "old" and "new" are byte for byte what a save produces.
for side in old new; do
    for i in $(seq 1 "$sections"); do
        printf '[%s cover %d]\r\nSIZE = 120,%d\r\nPOSITION = 10,10\r\nREMAP = %s cover 1\r\n' "$side" "$i" "$i" "$side"
    done > "$work/$side.src"
    "$cli" formats "$work/$side.src" --rewrite "$work/$side.dat" > /dev/null
done

target="$work/Korvane.dat"
now_ms() { date +%s%3N; }
start=$(now_ms)
cp "$work/old.dat" "$target"
"$cli" formats "$work/new.src" --rewrite "$target" > /dev/null
span=$(( $(now_ms) - start ))
echo "one rewrite takes ${span} ms; killing at random moments within it"

old=0 new=0 partial=0 temporaries=0
for ((t = 1; t <= trials; t++)); do
    cp "$work/old.dat" "$target"
    "$cli" formats "$work/new.src" --rewrite "$target" > /dev/null 2>&1 &
    pid=$!
    delay_ms=$(( RANDOM % (span + span / 5 + 1) ))
    sleep "$(printf '%d.%03d' $((delay_ms / 1000)) $((delay_ms % 1000)))"
    kill -KILL "$pid" 2> /dev/null || true
    wait "$pid" 2> /dev/null || true
    if cmp -s "$target" "$work/old.dat"; then
        old=$((old + 1))
    elif cmp -s "$target" "$work/new.dat"; then
        new=$((new + 1))
    else
        partial=$((partial + 1))
    fi
    temporaries=$((temporaries + $(find "$work" -maxdepth 1 -name 'Korvane.dat.tmp*' | wc -l)))
done

# One save that runs to its end clears what the kills left.
"$cli" formats "$work/new.src" --rewrite "$target" > /dev/null
debris=$(find "$work" -maxdepth 1 -name 'Korvane.dat.tmp*' | wc -l)
echo "trials=$trials old=$old new=$new partial=$partial temporaries-after-kills=$temporaries debris=$debris"
[ "$partial" -eq 0 ] && [ "$debris" -eq 0 ]
