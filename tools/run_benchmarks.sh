#!/bin/sh
# Builds the benchmarks (preset "bench": Release, build/bench), runs them with
# the vantor-report process timings beside them, and writes the figures into
# BENCHMARKS.md between its results markers.
#
#   tools/run_benchmarks.sh [REPETITIONS]      (default 9)
#
# Needs cmake, ninja, Google Benchmark (libbenchmark-dev), hyperfine and
# GNU time; as root on Debian the missing ones are installed.  Use an idle
# machine: every figure is a median, but other work still shows in them.
set -eu

repetitions=${1:-9}
root=$(cd "$(dirname "$0")/.." && pwd)
corpus="$root/../shared/corpus"
dota="$corpus/aoc_V_AOC_DOTA_4F.scx"
cd "$root"

missing=""
[ -f /usr/include/benchmark/benchmark.h ] || missing="$missing libbenchmark-dev"
command -v hyperfine >/dev/null 2>&1 || missing="$missing hyperfine"
[ -x /usr/bin/time ] || missing="$missing time"
if [ -n "$missing" ]; then
    if [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null 2>&1; then
        apt-get install -y --no-install-recommends $missing
    else
        echo "run_benchmarks.sh: please install:$missing" >&2
        exit 1
    fi
fi
if [ ! -f "$dota" ]; then
    echo "run_benchmarks.sh: $dota is missing" >&2
    exit 1
fi

cmake --preset bench >/dev/null
cmake --build build/bench -j 2

# Scenario copies and the files the command writes beside them live in a
# scratch folder; the raw figures stay in build/bench/results.
scratch=$(mktemp -d "${TMPDIR:-/tmp}/vantor-bench.XXXXXX")
trap 'rm -rf "$scratch"' EXIT INT TERM
results=build/bench/results
rm -rf "$results"
mkdir -p "$results"
report=build/bench/cli/vantor-report

echo "== benchmarks ($repetitions repetitions, interleaved)"
build/bench/bench/vantor_bench --work_dir="$scratch/bench" \
    --benchmark_repetitions="$repetitions" \
    --benchmark_enable_random_interleaving=true \
    --benchmark_out="$results/benchmarks.json" --benchmark_out_format=json

echo "== the real scenario again, with memory kept from one report to the next"
build/bench/bench/vantor_bench --work_dir="$scratch/reused" --real_only --reuse_memory \
    --benchmark_filter='^(zlib|inflate|extract|report|command)/' \
    --benchmark_repetitions="$repetitions" \
    --benchmark_enable_random_interleaving=true \
    --benchmark_out="$results/benchmarks_reused.json" --benchmark_out_format=json

echo "== vantor-report as a process"
mkdir "$scratch/process"
cp "$dota" "$scratch/process/"
chmod u+w "$scratch/process/"*
scenario="$scratch/process/$(basename "$dota")"
hyperfine -N --warmup 10 --runs 200 --export-json "$results/process.json" \
    "$report $scenario" "$report --version" "build/bench/bench/inflate_only $scenario"

de="$corpus/de_ROR_Ancient_Middle_East_Diplomacy.aoe2scenario"
process_de=""
if [ -f "$de" ]; then
    echo "== vantor-report as a process on the largest Definitive Edition scenario"
    cp "$de" "$scratch/process/"
    chmod u+w "$scratch/process/"*
    hyperfine -N --warmup 10 --runs 100 --export-json "$results/process_de.json" \
        "$report $scratch/process/$(basename "$de")"
    process_de="$results/process_de.json"
fi

echo "== peak memory"
for i in 1 2 3 4 5 6 7 8 9; do
    /usr/bin/time -f %M -a -o "$results/rss_command" "$report" "$scenario" >/dev/null
    /usr/bin/time -f %M -a -o "$results/rss_version" "$report" --version >/dev/null
done

echo "== peak memory of a report eight times its body"
lines="$scratch/process/lines.scx"
build/bench/bench/make_lines_scenario "$lines" 32
for mode in utf8 stdout-utf8 file; do  # the cp932 report is the one left
    case $mode in
        file) set -- "$lines" ;;
        utf8) set -- --utf8 "$lines" ;;
        stdout-utf8) set -- --stdout --utf8 "$lines" ;;
    esac
    for i in 1 2 3; do /usr/bin/time -f %M -a -o "$results/rss_lines_$mode" "$report" "$@" >/dev/null; done
done

python3 bench/benchmarks_table.py \
    --benchmarks "$results/benchmarks.json" --reused "$results/benchmarks_reused.json" --process "$results/process.json" \
    --rss-command "$results/rss_command" --rss-version "$results/rss_version" --process-de "$process_de" \
    --scenario "$scenario" --report "$scenario.txt" --lines "$lines" --rss-lines "$results/rss_lines_" \
    --compiler "$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' build/bench/CMakeCache.txt)" \
    --output BENCHMARKS.md
echo "== written: BENCHMARKS.md"
