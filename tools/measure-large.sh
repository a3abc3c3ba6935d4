#!/usr/bin/env bash
# Measures the time and memory of vantor-report on large scenarios.
#
#   tools/measure-large.sh [MEGABYTES...]     (default: 50 100 200 400)
#
# Builds a release build in build/measure, makes a scenario of about each
# size (half a map of random bytes, which does not compress, half triggers),
# and runs vantor-report on it under /usr/bin/time -v.  Prints, per size: the
# file, body and report sizes, the peak resident memory and the wall time,
# and the memory as a multiple of file + body.  Nothing is asserted.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
build=$repo/build/measure
sizes=("$@")
[[ ${#sizes[@]} -gt 0 ]] || sizes=(50 100 200 400)

cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVANTOR_BENCHMARKS=ON >/dev/null
cmake --build "$build" -j2 --target vantor-report make_large_scenario >/dev/null
work=$build/large
mkdir -p "$work"

printf '%8s %12s %12s %12s %12s %10s %10s %10s\n' MB file body report peak_rss wall_s 'rss/(f+b)' s/100MB
for mb in "${sizes[@]}"; do
  scenario=$work/large-$mb.scx
  rm -f "$scenario".txt
  info=$("$build/bench/make_large_scenario" "$scenario" "$mb")
  body=$(sed -E 's/.*body ([0-9]+) bytes.*/\1/' <<<"$info")
  file=$(stat -c %s "$scenario")
  sync
  /usr/bin/time -v "$build/cli/vantor-report" "$scenario" >/dev/null 2>"$work/time-$mb.txt"
  rssKb=$(awk -F: '/Maximum resident set size/ {gsub(/ /, "", $2); print $2}' "$work/time-$mb.txt")
  wall=$(awk '/Elapsed \(wall clock\)/ {print $NF}' "$work/time-$mb.txt")
  seconds=$(awk -F: '{ if (NF == 3) print $1 * 3600 + $2 * 60 + $3; else print $1 * 60 + $2 }' <<<"$wall")
  report=$(stat -c %s "$scenario".txt)
  awk -v mb="$mb" -v f="$file" -v b="$body" -v r="$report" -v rss="$rssKb" -v s="$seconds" 'BEGIN {
    printf "%8s %12d %12d %12d %12d %10.2f %10.2f %10.2f\n", mb, f, b, r, rss * 1024, s, rss * 1024 / (f + b), s / (b / 104857600)
  }'
  rm -f "$scenario" "$scenario".txt
done
