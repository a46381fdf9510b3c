#!/usr/bin/env bash
# Times tarnwell-compare against GNU diff on generated files and prints the
# median times, peak memory and the ratios ours / diff.
#   bash bench/engine/run.sh [BUILD_FOLDER]     (default: build)
# RUNS=n sets the timed runs per command (default 5). The input files are written
# once, from a fixed seed, to BUILD_FOLDER/bench-data.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="$(realpath -m "${1:-$root/build}")"
runs="${RUNS:-5}"

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" --target tarnwell-compare tarnwell-bench-generate -j2 >/dev/null
ours="$build/bin/tarnwell-compare"
data="$build/bench-data"
if [ ! -f "$data/apart-b.txt" ]; then
    mkdir -p "$data"
    "$build/bin/tarnwell-bench-generate" "$data"
fi

# median of the numbers on standard input
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# measure CMD...: sets SECONDS_MEDIAN (wall time, median of the runs) and
# PEAK_KB (maximum resident set size of one more run, from /usr/bin/time -v).
# Output goes to /dev/null; exit status 1 (differences found) is expected.
measure() {
    local times=() start end memfile
    for ((k = 0; k < runs; k++)); do
        start=$(date +%s%N)
        "$@" >/dev/null || [ $? -eq 1 ]
        end=$(date +%s%N)
        times+=("$(awk -v ns=$((end - start)) 'BEGIN { printf "%.4f", ns / 1e9 }')")
    done
    SECONDS_MEDIAN=$(printf '%s\n' "${times[@]}" | median)
    memfile="$(mktemp)"
    /usr/bin/time -v -o "$memfile" "$@" >/dev/null || [ $? -eq 1 ]
    PEAK_KB=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$memfile")
    rm -f "$memfile"
}

size_kb() { echo $(( ($(stat -c %s "$1") + $(stat -c %s "$2")) / 1024 )); }

# compare NAME TARGET FILE1 FILE2 OURS-ARGS -- DIFF-ARGS
compare() {
    local name=$1 target=$2 a=$3 b=$4; shift 4
    local our_args=() diff_args=()
    while [ "$1" != "--" ]; do our_args+=("$1"); shift; done
    shift
    diff_args=("$@")
    measure "$ours" "${our_args[@]}" "$a" "$b"
    local t_ours=$SECONDS_MEDIAN m_ours=$PEAK_KB
    measure diff "${diff_args[@]}" "$a" "$b"
    local t_diff=$SECONDS_MEDIAN m_diff=$PEAK_KB
    local files_kb; files_kb=$(size_kb "$a" "$b")
    awk -v n="$name" -v to="$t_ours" -v td="$t_diff" -v mo="$m_ours" -v md="$m_diff" \
        -v fk="$files_kb" -v tg="$target" 'BEGIN {
        printf "%-34s ours %7.3f s  diff %7.3f s  ratio %.3f (target <= %s)\n", n, to, td, to / td, tg
        printf "%-34s ours %7.1f MB diff %7.1f MB  ours / files %.2f (target <= 1.6)\n", "", mo / 1024, md / 1024, mo / fk
    }'
}

full_format=(--old-line-format='< %L' --new-line-format='> %L' --unchanged-line-format='  %L')
echo "tarnwell-compare vs $(diff --version | head -1); median of $runs runs; output to /dev/null"
compare "1M lines, 1% changed: full report" 0.3 "$data/big-a.txt" "$data/big-b.txt" -- "${full_format[@]}"
compare "1M lines, 1% changed: -d / diff" 0.35 "$data/big-a.txt" "$data/big-b.txt" -d --
compare "200k lines, none shared: full" 0.4 "$data/apart-a.txt" "$data/apart-b.txt" -- "${full_format[@]}"

# against_plain NAME ARGS TARGET: the 1M-line run with ARGS against the plain
# run. The two alternate run by run, so a load that comes and goes on the
# machine weighs on both alike.
against_plain() {
    local name=$1 with=$2 target=$3 plain=() other=() args start end t
    for ((k = 0; k < runs; k++)); do
        for args in "" "$with"; do
            start=$(date +%s%N)
            "$ours" $args "$data/big-a.txt" "$data/big-b.txt" >/dev/null || [ $? -eq 1 ]
            end=$(date +%s%N)
            t=$(awk -v ns=$((end - start)) 'BEGIN { printf "%.4f", ns / 1e9 }')
            if [ -z "$args" ]; then plain+=("$t"); else other+=("$t"); fi
        done
    done
    awk -v n="$name" -v a="$with" -v to="$(printf '%s\n' "${other[@]}" | median)" \
        -v tp="$(printf '%s\n' "${plain[@]}" | median)" -v tg="$target" 'BEGIN {
        printf "%-34s %s %7.3f s  plain %7.3f s  ratio %.3f (target <= %s)\n", n, a, to, tp, to / tp, tg
    }'
}

# Ignoring case and white space changes only how lines compare; it may cost
# at most half as much again as the plain run.
against_plain "1M lines, 1% changed: -iw / plain" -iw 1.5
# Colours and the marks of changed characters: at most 30 % more.
against_plain "1M lines, 1% changed: colour" --color=always 1.3
