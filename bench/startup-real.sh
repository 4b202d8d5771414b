#!/bin/bash
# Wall clock from starting the real program (build/src/keyhound) to its main window mapped, on a display of its own
# (Xvfb, no window manager), beside a bare Qt window (bench_startup --show-once -) timed the same way. Vaults of
# sample entries are made with keyhound-sample-vault. Median of seven starts each.
#   bench/startup-real.sh [BUILD_DIR]   (default: build)
set -euo pipefail
build=$(realpath "${1:-build}")
work=$(mktemp -d)
exec 9>"$work/display"
Xvfb -displayfd 9 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb; rm -rf "$work"' EXIT
while [ ! -s "$work/display" ]; do sleep 0.1; done
export DISPLAY=:$(cat "$work/display") QT_QPA_PLATFORM=xcb

# Milliseconds from starting the command to the first window mapped on the display.
mapped_after() {
    coproc watcher { stdbuf -oL xev -root -event substructure 2>/dev/null; }
    sleep 0.3
    local started=$(date +%s%N) shown
    "$@" >/dev/null 2>&1 &
    local program=$!
    while read -r line <&"${watcher[0]}"; do
        case $line in MapNotify*) shown=$(date +%s%N); break ;; esac
    done
    kill $program $watcher_PID 2>/dev/null || true
    wait $program $watcher_PID 2>/dev/null || true
    echo $(((shown - started) / 1000000))
}

median_of_seven() {
    for run in 1 2 3 4 5 6 7; do mapped_after "$@"; done | sort -n | sed -n 4p
}

echo "| Entries | Real program to main window ms | Bare Qt window ms |"
echo "|---:|---:|---:|"
bare=$(median_of_seven "$build/bench/bench_startup" --show-once -)
for entries in 0 1000 10000 100000; do
    folder="$work/$entries"
    mkdir -p "$folder"
    cp "$build/src/keyhound" "$folder/"
    "$build/tools/keyhound-sample-vault" "$folder" "$entries" >/dev/null
    echo "| $entries | $(median_of_seven "$folder/keyhound") | $bare |"
done
