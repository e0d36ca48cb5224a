#!/usr/bin/env bash
# Runs every fuzz target for a bounded time (default 60 s each) from its seed
# corpus; fails on any crash, leak, timeout or out-of-memory.
#   scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
build=${FUZZ_BUILD:-build-fuzz}
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(fuzz_codepage fuzz_comma_text fuzz_pattern fuzz_tags fuzz_base_file fuzz_knowledge fuzz_state_file fuzz_rexp_set fuzz_pattern_lists fuzz_reference fuzz_test_script fuzz_lsp fuzz_budget)
fi
for t in "${targets[@]}"; do
  corpus=$(mktemp -d)
  cp -r tests/fuzz/corpus/"$t"/. "$corpus"/ 2>/dev/null || true
  echo "== $t for ${seconds}s"
  # Limits no real personality approaches: 1 s and 512 MiB per input.
  log=$(mktemp)
  status=0
  "$build/tests/fuzz/$t" -max_total_time="$seconds" -timeout=1 -rss_limit_mb=512 \
    -max_len=4096 -print_final_stats=0 "$corpus" > "$log" 2>&1 || status=$?
  if [ "$status" -eq 0 ]; then tail -n 1 "$log"; else tail -n 60 "$log"; fi
  rm -rf "$corpus" "$log"
  [ "$status" -eq 0 ] || { echo "fuzz: $t failed (status $status)"; exit 1; }
done
echo "fuzz: ${#targets[@]} passed, 0 failed"
