#!/usr/bin/env bash
# Runs the report window headless over generated files and prints, median of
# RUNS runs (default 5), the time from the call of RunComparison to "All Done",
# the longest gap between two deliveries of pending events, and the peak
# memory, for a 100,000-line and a 1,000,000-line report, for two files of
# one 50 MB line each and for two folders of 5,000 files; then what colouring
# the lines by kind costs on the 1,000,000-line report (coloured and plain
# runs taken in turn), and what the gutter's numbers, the map and the marks
# cost there (on and off in turn), with the times to find a text, go to a
# line and draw the map; then the start-up time to a shown window with
# settings restored; then the start-up with the 1,000,000-line report kept
# from the run before ("Save Report on Exit"): launch to that report on
# screen, the whole fill against that of the same text kept plain, and peak
# memory against the run's.
#   bash bench/app/run.sh [BUILD_FOLDER]     (default: build)
# Input: the engine benchmark's generated files (fixed seed), written once to
# BUILD_FOLDER/bench-data; the 100,000-line pair is their first 100,000 lines.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="$(realpath -m "${1:-$root/build}")"
runs="${RUNS:-5}"
export QT_QPA_PLATFORM=offscreen

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" --target tarnwell-app-bench tarnwell-bench-generate \
    tarnwell-bench-generate-trees tarnwell-compare -j2 >/dev/null
bench="$build/bin/tarnwell-app-bench"
data="$build/bench-data"
if [ ! -f "$data/big-b.txt" ]; then
    mkdir -p "$data"
    "$build/bin/tarnwell-bench-generate" "$data"
fi
for n in 100000 2000; do
    for side in a b; do
        [ -f "$data/app-$n-$side.txt" ] || head -n "$n" "$data/big-$side.txt" >"$data/app-$n-$side.txt"
    done
done

# Settings of its own, never the user's.
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
export HOME="$scratch" XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data"

# Seconds tarnwell-compare takes to write the same report: the reference the
# window's time is set against, measured in this run on this machine.
reference() {
    local a=$1 b=$2 start stop
    for ((k = 0; k < runs; k++)); do
        start=$(date +%s%N)
        "$build/bin/tarnwell-compare" "$a" "$b" >/dev/null || true
        stop=$(date +%s%N)
        echo "$(((stop - start) / 1000)) 1000000" | awk '{ print $1 / $2 }'
    done | median
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
field() { awk -v key="$1" '{ for (i = 1; i < NF; i++) if ($i == key) print $(i + 1) }'; }

# report NAME FILE1 FILE2 TIME_TARGET [GAP_TARGET_MS]
report() {
    local name=$1 a=$2 b=$3 target=$4 gaptarget=${5:-50} out
    out="$(mktemp)"
    for ((k = 0; k < runs; k++)); do
        "$bench" run "$a" "$b" >>"$out" 2>/dev/null
    done
    awk -v n="$name" -v tg="$target" -v t="$(field run <"$out" | median)" \
        -v l="$(field lines <"$out" | median)" -v g="$(field gap <"$out" | median)" \
        -v gmax="$(field gap <"$out" | sort -g | tail -n 1)" -v gt="$gaptarget" \
        -v w="$(awk '{ m = 0; for (i = 1; i < NF; i++) if ($i ~ /^(gap|firstwait|lastwait)$/ && $(i + 1) > m) m = $(i + 1); if (m) print m }' "$out" | median)" \
        -v fw="$(field firstwait <"$out" | median)" -v lw="$(field lastwait <"$out" | median)" \
        -v p="$(field peak <"$out" | median)" -v c="$(field clear <"$out" | median)" \
        -v nx="$(field next <"$out" | median)" \
        -v r="$(reference "$a" "$b")" 'BEGIN {
        printf "%s (%d report lines)\n", n, l
        printf "  RunComparison to \"All Done\"  %8.3f s    (target <= %s s)\n", t, tg
        printf "  tarnwell-compare, same report  %8.3f s    window / command line %.1f\n", r, t / r
        printf "  longest gap between deliveries %6.1f ms   (worst of the runs %.1f ms; target <= %s ms)\n", g, gmax, gt
        printf "  longest wait with no delivery, start and end of the run included %.1f ms\n", w
        printf "  reading the files, before the first delivery %6.1f ms; last delivery to the end %.1f ms\n", fw, lw
        printf "  peak memory                    %6.0f MiB\n", p / 1024
        printf "  emptying the full report (\"&New\", or the next run clearing it) %.1f ms\n", c
        printf "  \"Next Difference\" from the top, counting every difference %.1f ms\n", nx
    }'
    run_peak="$(field peak <"$out" | median)"
    rm -f "$out"
}

report "100,000 lines" "$data/app-100000-a.txt" "$data/app-100000-b.txt" 1
report "1,000,000 lines" "$data/big-a.txt" "$data/big-b.txt" 8
echo "  (peak memory target for 1,000,000 lines: <= 600 MiB)"
big_run_peak="$run_peak"

# Two files of one 50 MB line each: the window shows each cut to 100,000
# characters, so no delivery waits for the layout of a huge line.
if [ ! -f "$data/long-b.txt" ]; then
    "$bench" longlines "$data/long-a.txt" "$data/long-b.txt" 50000000
fi
report "two lines of 50 MB" "$data/long-a.txt" "$data/long-b.txt" 2 100
echo "  (peak memory target for two lines of 50 MB: <= 1024 MiB)"

# Two trees of 5,000 files in 300 folders, the engine benchmark's.
if [ ! -d "$data/trees/tree-b" ]; then
    mkdir -p "$data/trees"
    "$build/bin/tarnwell-bench-generate-trees" "$data/trees"
fi
report "two folders of 5,000 files" "$data/trees/tree-a" "$data/trees/tree-b" 2

# Full runs (coloured, with numbers, map and marks), plain runs (none of them)
# and bare runs (colour, but no numbers, map or marks) in turn, so that a slow
# moment of the machine falls on all alike. The full runs also find, go to a
# line and draw the map.
colours="$(mktemp)" plain="$(mktemp)" bare="$(mktemp)"
for ((k = 0; k < runs; k++)); do
    "$bench" run "$data/big-a.txt" "$data/big-b.txt" >>"$colours" 2>/dev/null
    "$bench" run "$data/big-a.txt" "$data/big-b.txt" plain >>"$plain" 2>/dev/null
    "$bench" run "$data/big-a.txt" "$data/big-b.txt" bare >>"$bare" 2>/dev/null
done
awk -v tc="$(field run <"$colours" | median)" -v tp="$(field run <"$plain" | median)" \
    -v cc="$(field cpu <"$colours" | median)" -v cp="$(field cpu <"$plain" | median)" \
    -v pc="$(field peak <"$colours" | median)" -v pp="$(field peak <"$plain" | median)" 'BEGIN {
    printf "colour by kind, 1,000,000 lines: %.3f s coloured, %.3f s plain (%+.1f %%; target <= +10 %%)\n", tc, tp, (tc / tp - 1) * 100
    printf "  CPU time %.3f s coloured, %.3f s plain (%+.1f %%)\n", cc, cp, (cc / cp - 1) * 100
    printf "  peak memory %.0f MiB coloured, %.0f MiB plain (%+.1f %%; target within 10 %%)\n", pc / 1024, pp / 1024, (pc / pp - 1) * 100
}'

# Numbers in the gutter, the map and the marks of changed characters: the
# full runs against the bare ones.
decorated="$colours"
awk -v td="$(field run <"$decorated" | median)" -v tb="$(field run <"$bare" | median)" \
    -v cd="$(field cpu <"$decorated" | median)" -v cb="$(field cpu <"$bare" | median)" \
    -v f="$(field find <"$decorated" | median)" -v h="$(field hold <"$decorated" | median)" \
    -v fc="$(field findcpu <"$decorated" | median)" \
    -v hmax="$(field hold <"$decorated" | sort -g | tail -n 1)" \
    -v g="$(field goto <"$decorated" | median)" -v m="$(field map <"$decorated" | median)" 'BEGIN {
    printf "numbers, map and marks, 1,000,000 lines: %.3f s on, %.3f s off (ratio %.3f; target <= 1.15)\n", td, tb, td / tb
    printf "  the window thread'"'"'s CPU time, which the machine'"'"'s other load does not stretch: %.3f s on, %.3f s off (ratio %.3f)\n", cd, cb, cd / cb
    printf "  find a text on the last line from the top %.1f ms, CPU %.1f ms (target <= 300 ms); longest hold %.1f ms (worst %.1f; target <= 50 ms)\n", f, fc, h, hmax
    printf "  go to a line of the first file near its end %.1f ms (target <= 50 ms)\n", g
    printf "  draw the difference map %.1f ms (target <= 20 ms)\n", m
}'
rm -f "$colours" "$plain" "$bare"

"$bench" prepare "$data/app-2000-a.txt" "$data/app-2000-b.txt" 2>/dev/null
out="$(mktemp)"
for ((k = 0; k < runs; k++)); do
    "$bench" startup "$(date +%s%N)" >>"$out" 2>/dev/null
done
printf 'start-up to a shown window with settings restored %6.1f ms   (in main %.1f ms; target <= 300 ms)\n' \
    "$(field startup <"$out" | median)" "$(field main <"$out" | median)"
rm -f "$out"

# The last run's 1,000,000-line report kept for the next start, with the
# kinds and numbers of its lines and, in turn, without them (a text kept
# plain, as before they were kept): the reference for the whole fill.
"$bench" prepare "$data/big-a.txt" "$data/big-b.txt" 2>/dev/null
lines_file="$(find "$scratch" -name 1.lines -print -quit)"
cp "$lines_file" "$scratch/kept.lines"
out="$(mktemp)" plain="$(mktemp)"
for ((k = 0; k < runs; k++)); do
    cp "$scratch/kept.lines" "$lines_file"
    "$bench" startup "$(date +%s%N)" >>"$out" 2>/dev/null
    rm -f "$lines_file"
    "$bench" startup "$(date +%s%N)" >>"$plain" 2>/dev/null
done
awk -v t="$(field startup <"$out" | median)" -v l="$(field lines <"$out" | median)" \
    -v w="$(field whole <"$out" | median)" -v a="$(field all <"$out" | median)" \
    -v g="$(field gap <"$out" | median)" -v tp="$(field startup <"$plain" | median)" \
    -v wp="$(field whole <"$plain" | median)" \
    -v p="$(field peak <"$out" | median)" -v r="$big_run_peak" 'BEGIN {
    printf "kept report of %d lines: launch to the window on screen with its first %d lines %8.1f ms (target <= 200 ms); kept plain %.1f ms\n", a, l, t, tp
    printf "  launch to the whole report in %8.1f ms, the window live meanwhile: longest gap %.1f ms\n", w, g
    printf "  whole with kinds and numbers / whole kept plain: %.1f / %.1f ms = %.3f (target <= 1.1)\n", w, wp, w / wp
    printf "  peak memory %6.0f MiB; the run that produced it %6.0f MiB (target: no more)\n", p / 1024, r / 1024
}'
rm -f "$out" "$plain"
