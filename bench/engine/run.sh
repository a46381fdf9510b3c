#!/usr/bin/env bash
# Times tarnwell-compare against GNU diff on generated files, and -d against
# diff -r on two generated trees, and prints the median times, peak memory
# and the ratios ours / diff.
#   bash bench/engine/run.sh [BUILD_FOLDER]     (default: build)
# RUNS=n sets the timed runs per command (default 5). The input files are written
# once, from a fixed seed, to BUILD_FOLDER/bench-data (the trees to its trees/).
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="$(realpath -m "${1:-$root/build}")"
runs="${RUNS:-5}"

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" --target tarnwell-compare tarnwell-bench-generate \
    tarnwell-bench-generate-trees -j2 >/dev/null
ours="$build/bin/tarnwell-compare"
data="$build/bench-data"
if [ ! -f "$data/logs-b.txt" ]; then
    mkdir -p "$data"
    "$build/bin/tarnwell-bench-generate" "$data"
fi
trees="$data/trees"
if [ ! -d "$trees/tree-b" ]; then
    mkdir -p "$trees"
    "$build/bin/tarnwell-bench-generate-trees" "$trees"
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

# against_plain NAME TARGET FILE1 FILE2 ARGS...: ours with ARGS against ours
# without, on the same files. The two alternate run by run, so a load that
# comes and goes on the machine weighs on both alike. Also the peak memory
# of a run with ARGS against the size of the files.
against_plain() {
    local name=$1 target=$2 a=$3 b=$4; shift 4
    local plain=() with=() start end t
    for ((k = 0; k < runs; k++)); do
        for variant in plain with; do
            start=$(date +%s%N)
            if [ $variant = plain ]; then
                "$ours" "$a" "$b" >/dev/null || [ $? -eq 1 ]
            else
                "$ours" "$@" "$a" "$b" >/dev/null || [ $? -eq 1 ]
            fi
            end=$(date +%s%N)
            t=$(awk -v ns=$((end - start)) 'BEGIN { printf "%.4f", ns / 1e9 }')
            if [ $variant = plain ]; then plain+=("$t"); else with+=("$t"); fi
        done
    done
    local t_plain t_with memfile peak files_kb
    t_plain=$(printf '%s\n' "${plain[@]}" | median)
    t_with=$(printf '%s\n' "${with[@]}" | median)
    memfile="$(mktemp)"
    /usr/bin/time -v -o "$memfile" "$ours" "$@" "$a" "$b" >/dev/null || [ $? -eq 1 ]
    peak=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$memfile")
    rm -f "$memfile"
    files_kb=$(size_kb "$a" "$b")
    awk -v n="$name" -v tw="$t_with" -v tp="$t_plain" -v tg="$target" -v m="$peak" \
        -v fk="$files_kb" 'BEGIN {
        printf "%-34s with %6.3f s  plain %6.3f s  ratio %.3f (target <= %s)\n", n, tw, tp, tw / tp, tg
        printf "%-34s with %7.1f MB  ours / files %.2f (target <= 1.6)\n", "", m / 1024, m / fk
    }'
}

# Ignoring case and white space changes only how lines compare; it may cost
# at most half as much again as the plain run.
against_plain "1M lines, 1% changed: -iw / plain" 1.5 "$data/big-a.txt" "$data/big-b.txt" -iw
# The unified diff of the same pair, against diff's.
compare "1M lines, 1% changed: -u / diff -u" 0.5 "$data/big-a.txt" "$data/big-b.txt" -u -- -u
# Colours and the marks of changed characters: at most 30 % more.
against_plain "1M lines, 1% changed: colour" 1.3 "$data/big-a.txt" "$data/big-b.txt" --color=always
# Two logs that differ in every time of day compare equal once the times
# are removed by a pattern; that may cost at most three plain runs.
against_plain "1M-line logs: --ignore-text / plain" 3 "$data/logs-a.txt" "$data/logs-b.txt" \
    --ignore-text='[0-9]{2}:[0-9]{2}:[0-9]{2}(\.[0-9]+)?'

# Two trees of 5,000 files: -d against diff -r, taken in turn run by run.
# Both report the trees' link loop (diff -r as trouble, status 2). The
# memory is set against the largest pair of files, which bounds ours.
ours_t=() diff_t=()
for ((k = 0; k < runs; k++)); do
    for tool in ours diff; do
        start=$(date +%s%N)
        if [ $tool = ours ]; then
            "$ours" -d "$trees/tree-a" "$trees/tree-b" >/dev/null || true
        else
            diff -r "$trees/tree-a" "$trees/tree-b" >/dev/null 2>&1 || true
        fi
        end=$(date +%s%N)
        t=$(awk -v ns=$((end - start)) 'BEGIN { printf "%.4f", ns / 1e9 }')
        if [ $tool = ours ]; then ours_t+=("$t"); else diff_t+=("$t"); fi
    done
done
peak() {
    local memfile; memfile="$(mktemp)"
    /usr/bin/time -v -o "$memfile" "$@" >/dev/null 2>&1 || true
    awk -F': ' '/Maximum resident set size/ { print $2 }' "$memfile"
    rm -f "$memfile"
}
m_ours=$(peak "$ours" -d "$trees/tree-a" "$trees/tree-b")
m_diff=$(peak diff -r "$trees/tree-a" "$trees/tree-b")
largest_kb=$(find "$trees" -type f -printf '%s\n' | sort -n | tail -n 1 | awk '{ print $1 * 2 / 1024 }')
trees_kb=$(du -sk "$trees" | awk '{ print $1 }')
awk -v n="5,000 files, 300 folders: -d / -r" -v to="$(printf '%s\n' "${ours_t[@]}" | median)" \
    -v td="$(printf '%s\n' "${diff_t[@]}" | median)" -v mo="$m_ours" -v md="$m_diff" \
    -v lk="$largest_kb" -v tk="$trees_kb" 'BEGIN {
    printf "%-34s ours %7.3f s  diff %7.3f s  ratio %.3f (target <= 0.5)\n", n, to, td, to / td
    printf "%-34s ours %7.1f MB diff %7.1f MB  (largest pair %.0f KB, trees %.0f MB)\n", "", mo / 1024, md / 1024, lk, tk / 1024
}'
