#!/usr/bin/env bash
# The hostile personality (bench/hostile_character.cpp): peak memory and time
# of `check` and of `chat` answering its inputs, by /usr/bin/time -v.
#   bench/hostile_run.sh [BENCH_BUILD] [CLI_BUILD] [LINES]
# BENCH_BUILD holds bench/hostile_character (-DPARLEVO_BENCH=ON), CLI_BUILD
# parlevo-cli (default: the same folder).
set -euo pipefail
bench=${1:-build-bench}
cli=${2:-$bench}/parlevo-cli
lines=${3:-20000}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
base=$("$bench/bench/hostile_character" "$dir" "$lines")
echo "== $(du -h "$dir/hostile.txt" | cut -f1) in $lines lines"
measure() {
  local what=$1
  shift
  local log=$dir/time.log
  "$@" > "$dir/out.txt" 2>"$log" || true
  echo "$what: $(grep -E 'Maximum resident' "$log" | sed 's/.*: //') KiB peak," \
    "$(grep -E 'Elapsed' "$log" | sed 's/.*: //') elapsed," \
    "$(grep -E 'User time' "$log" | sed 's/.*: //') s user"
}
measure check /usr/bin/time -v "$cli" check "$base"
measure chat sh -c "/usr/bin/time -v '$cli' chat --no-save '$base' < '$dir/inputs.txt'"
echo "chat answered:"
cat "$dir/out.txt"
