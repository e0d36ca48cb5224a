// Knowledge data benchmarks: loading a personality split over many files
// (should grow linearly with the entry count) and one kind B search.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "data/lumo_data.h"

namespace parlevo {
namespace {

constexpr int kEntriesPerFile = 20;

// A folder of `files` kind 0 files, written once per size and kept for the run.
std::vector<std::string> MakeFiles(int files) {
  const auto folder =
      std::filesystem::temp_directory_path() / ("parlevo_data_bench_" + std::to_string(files));
  std::filesystem::create_directories(folder);
  std::vector<std::string> names;
  for (int f = 0; f < files; ++f) {
    auto name = folder / std::to_string(f);
    name += ".txt";
    if (!std::filesystem::exists(name)) {
      std::ofstream out(name, std::ios::binary);
      for (int e = 0; e < kEntriesPerFile; ++e) {
        out << "{FLAG" << (e % 100) << "},answer " << f << "-" << e << "\r\n";
      }
    }
    names.push_back(name.string());
  }
  return names;
}

void BM_LoadManyFiles(benchmark::State& state) {
  const std::vector<std::string> names = MakeFiles(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    TLumoData0 data(false, nullptr);
    for (const std::string& name : names) data.LoadFromFile(name);
    benchmark::DoNotOptimize(data.Available());
  }
  state.SetComplexityN(state.range(0) * kEntriesPerFile);
}
BENCHMARK(BM_LoadManyFiles)->RangeMultiplier(4)->Range(16, 1024)->Complexity();

void BM_SearchKindB(benchmark::State& state) {
  const auto name = std::filesystem::temp_directory_path() /
                    ("parlevo_data_bench_b" + std::to_string(state.range(0)) + ".txt");
  {
    std::ofstream out(name, std::ios::binary);
    for (int e = 0; e < state.range(0); ++e) out << "WORD" << e << "X,answer\r\n";
  }
  TLumoDataB data(false, nullptr);
  data.LoadFromFile(name.string());
  const std::string input = "SOME INPUT WITH WORD7X IN IT";
  for (auto _ : state) benchmark::DoNotOptimize(data.Search(input));
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_SearchKindB)->RangeMultiplier(10)->Range(100, 10000)->Complexity();

}  // namespace
}  // namespace parlevo

BENCHMARK_MAIN();
