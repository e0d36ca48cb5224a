// The multi-literal search on literals like those of a large personality:
// Japanese words of two to eight kana in Shift JIS, N thousand of them.
//   BM_LiteralBuild/N          Add and Build; counters: bytes held by the
//                              automaton per literal byte, and in MiB
//   BM_LiteralScan/N/BYTES     one Scan of a kana text of 300 or 2,000 bytes
//                              in which some literals are planted
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "bench_random.h"
#include "regex/literal_search.h"

namespace parlevo::bench {
namespace {

std::vector<std::string> Words(size_t n) {
  uint32_t seed = 7;
  std::vector<std::string> words;
  for (size_t k = 0; k < n; ++k) words.push_back(Kana(seed, 2 + static_cast<int>(Next(seed) % 7)));
  return words;
}

size_t TotalBytes(const std::vector<std::string>& words) {
  size_t n = 0;
  for (const auto& w : words) n += w.size();
  return n;
}

void BM_LiteralBuild(benchmark::State& state) {
  const std::vector<std::string> words = Words(static_cast<size_t>(state.range(0)) * 1000);
  size_t held = 0;
  for (auto _ : state) {
    TbmRELiteralSearch search;
    for (const auto& w : words) search.Add(w);
    search.Build();
    held = search.MemoryBytes();
    benchmark::DoNotOptimize(held);
  }
  state.counters["held/byte"] = static_cast<double>(held) / static_cast<double>(TotalBytes(words));
  state.counters["held_MiB"] = static_cast<double>(held) / (1 << 20);
}
BENCHMARK(BM_LiteralBuild)->Arg(10)->Arg(80)->Arg(250)->Unit(benchmark::kMillisecond);

void BM_LiteralScan(benchmark::State& state) {
  const std::vector<std::string> words = Words(static_cast<size_t>(state.range(0)) * 1000);
  TbmRELiteralSearch search;
  for (const auto& w : words) search.Add(w);
  search.Build();
  uint32_t seed = 11;
  std::string text;
  while (text.size() < static_cast<size_t>(state.range(1))) {
    text += Next(seed) % 4 == 0 ? words[Next(seed) % words.size()] : Kana(seed, 1);
  }
  size_t hits = 0;
  for (auto _ : state) {
    hits = 0;
    search.Scan(text, [&hits](int32_t, size_t) { ++hits; });
    benchmark::DoNotOptimize(hits);
  }
  state.counters["hits"] = static_cast<double>(hits);
}
BENCHMARK(BM_LiteralScan)->ArgsProduct({{80, 250}, {300, 2000}});

}  // namespace
}  // namespace parlevo::bench

BENCHMARK_MAIN();
