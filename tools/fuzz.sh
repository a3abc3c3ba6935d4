#!/usr/bin/env bash
# Builds the fuzz targets (preset "fuzz": clang, libFuzzer, ASan, UBSan) and
# runs them one after the other.
#
#   tools/fuzz.sh [--time SECONDS | --runs COUNT] [--target file|body|both]
#
# --time: seconds per target (default 60); --runs: executions per target.
# Seeds: scenarios made by the builder, samples/sample.scx, the real scenarios
# in ../shared/corpus (when present, every edition) and their decompressed bodies, and the
# regression inputs in tests/hardening/inputs.  The growing corpora stay in
# build/fuzz/corpus; a crash, hang or sanitizer finding is saved in
# build/fuzz/findings and makes the script exit with status 1.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
build=$repo/build/fuzz
limit=(-max_total_time=60)
targets=(file body)

while [[ $# -gt 0 ]]; do
  case $1 in
    --time) limit=(-max_total_time="$2"); shift 2 ;;
    --runs) limit=(-runs="$2"); shift 2 ;;
    --target)
      case $2 in
        file|body) targets=("$2") ;;
        both) targets=(file body) ;;
        *) echo "fuzz.sh: unknown target $2" >&2; exit 2 ;;
      esac
      shift 2 ;;
    -h|--help) sed -n '2,13p' "$0"; exit 0 ;;
    *) echo "fuzz.sh: unknown argument $1" >&2; exit 2 ;;
  esac
done

cd "$repo"
cmake --preset fuzz >/dev/null
cmake --build "$build" -j2 --target scenario_file_fuzzer scenario_body_fuzzer vantor-fuzz-seeds

sources=()
[[ -f samples/sample.scx ]] && sources+=(samples/sample.scx)
shopt -s nullglob
sources+=("$repo"/../shared/corpus/*.sc[xn] "$repo"/../shared/corpus/*.scx2 "$repo"/../shared/corpus/*.aoe2scenario)
shopt -u nullglob
rm -rf "$build/seeds"
"$build/fuzz/vantor-fuzz-seeds" "$build/seeds" "${sources[@]}"

# A body is at least 23 KB before its triggers and a real one a few hundred;
# files are kept smaller, since most of their bytes are a deflate stream.
declare -A maxLength=([file]=65536 [body]=400000)
status=0
for target in "${targets[@]}"; do
  corpus=$build/corpus/$target
  findings=$build/findings/$target
  mkdir -p "$corpus" "$findings" "$build/logs"
  regression=()
  [[ -d tests/hardening/inputs/$target ]] && regression+=(tests/hardening/inputs/$target)
  log=$build/logs/$target.log
  echo "== scenario_${target}_fuzzer (${limit[*]}), log: $log"
  if ! "$build/fuzz/scenario_${target}_fuzzer" "${limit[@]}" -max_len="${maxLength[$target]}" -timeout=20 \
      -rss_limit_mb=2560 -print_final_stats=1 -artifact_prefix="$findings/" \
      "$corpus" "$build/seeds/$target" "${regression[@]}" >"$log" 2>&1; then
    echo "!! scenario_${target}_fuzzer found a problem; input in $findings:" >&2
    grep -E 'ERROR|SUMMARY|target:|Test unit written' "$log" >&2 || tail -20 "$log" >&2
    status=1
  fi
  grep -E '^#[0-9]+[[:space:]]+(INITED|DONE|pulse)' "$log" | tail -1 || true
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)' "$log"  || true
done
exit $status
