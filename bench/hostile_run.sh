#!/usr/bin/env bash
# The hostile personality (bench/hostile_character.cpp): peak memory and time
# of `check` and of `chat` answering its inputs, by /usr/bin/time.
#   bench/hostile_run.sh [BENCH_BUILD] [CLI_BUILD] [LINES] [RUNS]
# BENCH_BUILD holds bench/hostile_character (-DPARLEVO_BENCH=ON), CLI_BUILD
# parlevo-cli (default: the same folder). Each command runs RUNS times (default
# 1); every run is printed, then the median of each figure.
set -euo pipefail
bench=${1:-build-bench}
cli=${2:-$bench}/parlevo-cli
lines=${3:-20000}
runs=${4:-1}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
base=$("$bench/bench/hostile_character" "$dir" "$lines")
echo "== $(du -h "$dir/hostile.txt" | cut -f1) in $lines lines, $runs run(s) each, load average $(cut -d' ' -f1-3 /proc/loadavg)"
median() { sort -g | awk '{v[NR]=$1} END {print (NR % 2) ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2}'; }
# measure WHAT COMMAND...: peak resident KiB, wall s, CPU (user+system) s.
measure() {
  local what=$1
  shift
  : > "$dir/runs.txt"
  for ((r = 1; r <= runs; r++)); do
    /usr/bin/time -o "$dir/time.txt" -f '%M %e %U %S' "$@" > "$dir/out.txt" 2> /dev/null || true
    read -r peak wall user sys < "$dir/time.txt"
    cpu=$(awk -v u="$user" -v s="$sys" 'BEGIN {printf "%.2f", u + s}')
    echo "$peak $wall $cpu" >> "$dir/runs.txt"
    echo "$what run $r: $((peak / 1024)) MiB peak, $wall s wall, $cpu s CPU"
  done
  echo "$what median: $(cut -d' ' -f1 "$dir/runs.txt" | median | awk '{printf "%d", $1 / 1024}') MiB peak," \
    "$(cut -d' ' -f2 "$dir/runs.txt" | median) s wall, $(cut -d' ' -f3 "$dir/runs.txt" | median) s CPU"
}
measure check "$cli" check "$base"
measure chat sh -c "'$cli' chat --no-save '$base' < '$dir/inputs.txt'"
echo "chat answered:"
cat "$dir/out.txt"
