#!/usr/bin/env bash
# The figures the performance page states, from one sitting: set_bench and
# engine_bench with random interleaving and repetitions (medians of CPU time),
# then loading 100,000 entries by stage and the hostile personality (medians
# of 3), and the ratios the targets ask.
#   bench/interleaved.sh [BUILD] [REPETITIONS] [OUT]
# BUILD (default build-bench) is configured as Release with the benchmarks if
# it has no cache yet, and the four programs are built; REPETITIONS defaults
# to 5; the JSON of both runs is kept in OUT (default: a temporary folder).
set -euo pipefail
build=${1:-build-bench}
reps=${2:-5}
out=${3:-$(mktemp -d)}
mkdir -p "$out"
here=$(cd "$(dirname "$0")/.." && pwd)
if [ ! -f "$build/CMakeCache.txt" ]; then
  launcher=()
  if command -v ccache > /dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  fi
  cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPARLEVO_BENCH=ON \
    -DPARLEVO_TESTS=OFF -DPARLEVO_GUI=OFF "${launcher[@]}" > /dev/null
fi
cmake --build "$build" -j2 --target set_bench engine_bench load_bench hostile_character parlevo-cli \
  > /dev/null

loadavg() { cut -d' ' -f1-3 /proc/loadavg; }
echo "== $(date -u '+%F %T UTC'), commit $(git -C "$here" rev-parse --short HEAD)," \
  "$(nproc) cores, load average $(loadavg)"
started=$SECONDS
interleaved=(--benchmark_enable_random_interleaving=true --benchmark_repetitions="$reps"
  --benchmark_report_aggregates_only=true --benchmark_out_format=json)

echo "== set_bench (answer checks follow the table)"
"$build/bench/set_bench" "${interleaved[@]}" --benchmark_out="$out/set.json" \
  --benchmark_filter='^BM_(WhichMatch|SecondCorpus)/[0-9]+/(set|set\+budget|Hyperscan|RE2::Set-64MiB)$' \
  | grep -E '_median|differ'
echo "   load average $(loadavg)"

echo "== engine_bench"
"$build/bench/engine_bench" "${interleaved[@]}" --benchmark_out="$out/engine.json" \
  --benchmark_filter='^BM_(Turn/B/(200|2000|20000|100000)|LoadCharacter/B/100000|Converse/talk/(200|20000))/' \
  | grep -E '_median'
echo "   load average $(loadavg)"

echo "== load of 100,000 entries by stage (load_bench --generated 100, 3 runs)"
for run in 1 2 3; do "$build/bench/load_bench" --generated 100 | grep -A1 '^generated'; done \
  | tee "$out/stages.txt" | grep stages

echo "== hostile personality"
"$here/bench/hostile_run.sh" "$build" "$build" 20000 3 | grep -E '^==|median'
echo "   load average $(loadavg), $((SECONDS - started)) s in all, JSON in $out"

python3 - "$out/set.json" "$out/engine.json" "$out/stages.txt" << 'EOF'
import json, re, statistics, sys

def medians(path):
    runs = json.load(open(path))["benchmarks"]
    return {r["run_name"]: r for r in runs if r.get("aggregate_name") == "median"}

def us(r):  # CPU time in microseconds
    return r["cpu_time"] * {"ns": 1e-3, "us": 1.0, "ms": 1e3, "s": 1e6}[r["time_unit"]]

sets, engine = medians(sys.argv[1]), medians(sys.argv[2])
print("\n== Medians (CPU time) and the ratios the targets ask")
for corpus, name in (("WhichMatch", "ours"), ("SecondCorpus", "second")):
    print(f"{name} corpus: set / set+budget / Hyperscan / RE2::Set 64 MiB, and set over Hyperscan (target <= 1.5x)")
    for size in (20, 60, 300, 2000):
        t = {e: us(sets[f"BM_{corpus}/{size}/{e}"]) for e in ("set", "set+budget", "Hyperscan", "RE2::Set-64MiB")}
        line = f"  {size:>5} B: {t['set']:9.2f} / {t['set+budget']:9.2f} / {t['Hyperscan']:8.2f} / {t['RE2::Set-64MiB']:9.2f} us"
        line += f"   set/HS {t['set'] / t['Hyperscan']:.2f}x, set+budget/HS {t['set+budget'] / t['Hyperscan']:.2f}x"
        if size == 2000:
            line += f", set/RE2::Set {t['set'] / t['RE2::Set-64MiB']:.2f}x (target < 1)"
        print(line)
turn = {n: us(engine[f"BM_Turn/B/{n}/iterations:2000"]) for n in (200, 2000, 20000, 100000)}
print("turn, kind B: " + ", ".join(f"{n}: {t:.1f} us" for n, t in turn.items()))
print(f"  100,000 entries {turn[100000]:.1f} us (target <= 50); growth 2,000 -> 100,000 {turn[100000] / turn[2000]:.1f}x (target <= 4)")
small, large = (engine[f"BM_Converse/talk/{n}/iterations:2000"] for n in (200, 20000))
print(f"converse, answers that match: 200 entries {1e6 / us(small):,.0f} lines/s ({small['answered']:.0%} answered),"
      f" 20,000 {1e6 / us(large):,.0f} lines/s ({large['answered']:.0%} answered);"
      f" 20,000 at {us(small) / us(large):.2f} of the 200's speed (target >= 0.33)")
load = engine["BM_LoadCharacter/B/100000/iterations:3"]
print(f"load of 100,000 entries: {us(load) / 1000:.0f} ms CPU (target <= 200), heap held {load['heap_MiB']:.1f} MiB")
stages = {}
names = ("load", "read", "split", "parse", "analysis", "build sets", "the rest")
for line in open(sys.argv[3]):
    for name in names:
        m = re.search(rf"\b{name} (\d+)", line)
        if m:
            stages.setdefault(name, []).append(float(m.group(1)))
print("  in a child process, by stage, medians of 3 (CPU ms): " +
      ", ".join(f"{k} {statistics.median(v):.0f}" for k, v in stages.items()))
EOF
