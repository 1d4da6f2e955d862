#!/bin/sh
# Builds the fuzz targets (preset `fuzz`) and runs each in turn, one at a time, on its seed
# corpus in fuzz/corpus/. New inputs are kept under build/fuzz/corpus/, findings (the input
# that failed) under build/fuzz/findings/.
#
#   sh scripts/fuzz.sh                      every target for ten minutes
#   sh scripts/fuzz.sh --time 120 cty_csv   one target for two minutes
#   sh scripts/fuzz.sh --runs 20000         every target for a fixed number of executions
set -eu

limit="-max_total_time=600"
while [ $# -gt 0 ]; do
  case "$1" in
    --time) limit="-max_total_time=$2"; shift 2 ;;
    --runs) limit="-runs=$2"; shift 2 ;;
    -*) echo "usage: $0 [--time SECONDS | --runs N] [target ...]" >&2; exit 2 ;;
    *) break ;;
  esac
done

cd "$(dirname "$0")/.."
targets=${*:-$(ls fuzz/corpus)}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

status=0
for target in $targets; do
  program=build/fuzz/fuzz/${target}_fuzzer
  [ -x "$program" ] || { echo "no fuzz target $target" >&2; exit 2; }
  corpus=build/fuzz/corpus/$target
  findings=build/fuzz/findings/$target
  mkdir -p "$corpus" "$findings"
  echo "== $target"
  # Inputs a few times larger than the seeds; 2 GB of memory is a finding, not a slow run.
  "$program" "$limit" -max_len=65536 -rss_limit_mb=2048 -timeout=25 -print_final_stats=1 \
    -artifact_prefix="$findings/" "$corpus" "fuzz/corpus/$target" 2>"$findings/log" || {
    status=1
    tail -n 60 "$findings/log" >&2
  }
  grep -E "^(stat::number_of_executed_units|Done)" "$findings/log" || true
done
exit $status
