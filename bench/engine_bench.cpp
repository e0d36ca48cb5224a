// Character benchmarks: loading a generated personality of 20,000 kind B
// entries (time, heap it holds), and answering turns with it (turns per second).
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "engine/character.h"
#include "platform/codepage.h"

namespace parlevo {
namespace {

constexpr int kEntries = 20000;
constexpr int kTurns = 10000;

// Words the generated patterns and inputs are made of (UTF-8 here, Shift JIS
// in the files).
const std::vector<std::string> kWords = {"天気", "猫",   "犬",   "お茶", "本", "名前",
                                         "映画", "音楽", "旅行", "料理", "雨", "海",
                                         "山",   "花",   "電車", "仕事"};

// A fixed sequence, so every run measures the same personality.
uint32_t Next(uint32_t& state) {
  state = state * 134775813u + 1u;
  return state >> 8;
}

// Heap bytes in use (glibc), so the figure does not depend on whether freed
// pages were handed back to the system.
int64_t HeapInUse() { return static_cast<int64_t>(mallinfo2().uordblks); }

// A personality in a folder of its own: one once-only opening line, 20,000 kind B
// entries in four files (literal words, alternations, classes, repetition,
// "#" digits), and one free-talk line so every turn has an answer.
class GeneratedPersonality {
 public:
  GeneratedPersonality() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "parlevo-bench-XXXXXX").string();
    dir_ = mkdtemp(pattern.data());
    uint32_t seed = 2026;
    std::vector<std::string> names;
    for (int file = 0; file < 4; ++file) {
      std::vector<std::string> lines;
      for (int i = 0; i < kEntries / 4; ++i) {
        const int n = file * (kEntries / 4) + i;
        const std::string& a = kWords[Next(seed) % kWords.size()];
        const std::string& b = kWords[Next(seed) % kWords.size()];
        std::string line;
        switch (n % 5) {
          case 0:
            line = a + std::to_string(n);
            break;
          case 1:
            line = "(" + a + "|" + b + ")" + std::to_string(n);
            break;
          case 2:
            line = a + "[0-9]+" + b + std::to_string(n % 97);
            break;
          case 3:
            line = a + ".*" + b + "##" + std::to_string(n % 13);
            break;
          default:
            line = "^" + a + b + "?";
            break;
        }
        lines.push_back(line + ",答え" + std::to_string(n) + "です。");
      }
      names.push_back("b" + std::to_string(file) + ".txt");
      Write(names.back(), lines);
    }
    Write("open.txt", {"TRUE,こんにちは。"});
    Write("free.txt", {"なるほど。"});
    Write("bench.ltc",
          {"version", "210", "name", "ベンチ", "folder", "", "data01", "open.txt", "datab2",
           names[0] + " " + names[1] + " " + names[2] + " " + names[3], "datac2", "free.txt"});
    for (int i = 0; i < 100; ++i) {
      const std::string& a = kWords[Next(seed) % kWords.size()];
      const std::string& b = kWords[Next(seed) % kWords.size()];
      inputs_.push_back(platform::Utf8ToWide(a + "と" + b + std::to_string(Next(seed) % 5000)));
    }
  }
  ~GeneratedPersonality() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

  std::string BaseFile() const { return (dir_ / "bench.ltc").string(); }
  const std::vector<std::u16string>& Inputs() const { return inputs_; }

 private:
  void Write(const std::string& name, const std::vector<std::string>& utf8_lines) {
    std::ofstream out(dir_ / name, std::ios::binary);
    for (const std::string& line : utf8_lines) out << platform::Utf8ToAnsi(line) << "\r\n";
  }

  std::filesystem::path dir_;
  std::vector<std::u16string> inputs_;
};

const GeneratedPersonality& Personality() {
  static const GeneratedPersonality personality;
  return personality;
}

// Construction: base file, four data files compiled at load, state file.
void BM_LoadCharacter(benchmark::State& state) {
  const std::string base = Personality().BaseFile();
  int64_t held = 0;
  for (auto _ : state) {
    const int64_t before = HeapInUse();
    auto character = std::make_unique<TCharacter>(base);
    held = HeapInUse() - before;
    state.PauseTiming();
    character.reset();  // saving the state file is not loading
    state.ResumeTiming();
  }
  state.counters["entries"] = kEntries;
  state.counters["heap_MiB"] = static_cast<double>(held) / (1 << 20);
}
BENCHMARK(BM_LoadCharacter)->Unit(benchmark::kMillisecond)->Iterations(5);

// One turn: Talk with every slot, as the conversation's later turns do; the
// answer's tags are expanded too, as the conversation does next.
void BM_Turn(benchmark::State& state) {
  TCharacter character(Personality().BaseFile());
  const auto& inputs = Personality().Inputs();
  size_t i = 0;
  for (auto _ : state) {
    std::u16string answer = character.Talk(inputs[i++ % inputs.size()], AllSlots);
    benchmark::DoNotOptimize(character.ExpandTags(answer));
  }
  state.counters["turns_per_second"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Turn)->Unit(benchmark::kMicrosecond)->Iterations(kTurns);

}  // namespace
}  // namespace parlevo

BENCHMARK_MAIN();
