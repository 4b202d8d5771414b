#!/bin/bash
# Wall clock from starting the real program (build/src/keyhound) to its main window mapped, on a display of its own
# (Xvfb, no window manager), beside a bare Qt window (build/bench/bench_bare_window) timed the same way, in one run:
# an empty vault, 100,000 entries in the program's own order (as it writes them), and the same entries in the order
# of their character codes (as a program without collation writes them: accented initials after Z). Vaults are made
# with keyhound-sample-vault. Starts are interleaved, one of each in turn, and each figure is the median.
#   bench/startup-real.sh [BUILD_DIR] [REPETITIONS]   (defaults: build, 15)
# KEYHOUND=path times that binary of the program instead of BUILD_DIR's, an earlier build say.
set -euo pipefail
build=$(realpath "${1:-build}")
program=$(realpath "${KEYHOUND:-$build/src/keyhound}")
repetitions=${2:-15}
work=$(mktemp -d)
exec 9>"$work/display"
Xvfb -displayfd 9 -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
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

# A data folder with the program beside its vault, as a portable copy runs: name, entries, options of the tool.
folder_of() {
    local name=$1 entries=$2
    shift 2
    mkdir -p "$work/$name"
    cp "$program" "$work/$name/keyhound"
    "$build/tools/keyhound-sample-vault" "$@" "$work/$name" "$entries" >/dev/null
    echo "$work/$name/keyhound"
}

declare -A command=(
    [bare]="$build/bench/bench_bare_window"
    [empty]=$(folder_of empty 0)
    [own]=$(folder_of own 100000)
    [codes]=$(folder_of codes 100000 --ordem-dos-codigos)
)

order=(bare empty own codes)
for run in $(seq "$repetitions"); do
    for name in "${order[@]}"; do
        echo "$name $(mapped_after "${command[$name]}")"
    done
done >"$work/times"

median() { awk -v name="$1" '$1 == name { print $2 }' "$work/times" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
bare=$(median bare)
echo "Median of $repetitions starts each, $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo "| Window | ms | Ratio to the bare window |"
echo "|---|---:|---:|"
for name in "${order[@]}"; do
    case $name in
    bare) label="Bare Qt window" ;;
    empty) label="Empty vault" ;;
    own) label="100,000 entries, the program's order" ;;
    codes) label="100,000 entries, character-code order" ;;
    esac
    ms=$(median "$name")
    echo "| $label | $ms | $(awk -v a="$ms" -v b="$bare" 'BEGIN { printf "%.2f", a / b }') |"
done
