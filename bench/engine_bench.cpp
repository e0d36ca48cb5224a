// Character benchmarks on generated personalities (bench/generated_character):
//   BM_LoadCharacter/KIND/N  loading N entries: time, and the heap it holds
//   BM_Turn/KIND/N           one later turn, Talk + ExpandTags of the answer
//   BM_Converse/ANSWERS/N    two characters of N kind B entries answering
//                            each other, a line per iteration (as converse);
//                            ANSWERS plain match no pattern, talk are words
//                            the other character's patterns are made of
// KIND is the knowledge data holding the entries: B (input patterns), A
// (context and input patterns) or 0 (tag conditions).
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/character.h"
#include "generated_character.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/datetime.h"
#include "platform/random.h"

namespace parlevo {
namespace {

using bench::Answers;
using bench::EntryKind;
using bench::GeneratedCharacter;

constexpr int kTurns = 2000;

// Heap bytes in use (glibc), so the figure does not depend on whether freed
// pages were handed back to the system.
int64_t HeapInUse() { return static_cast<int64_t>(mallinfo2().uordblks); }

// One generated character per kind and size, written once for the run.
const GeneratedCharacter& Generated(EntryKind kind, int entries) {
  static std::map<std::pair<EntryKind, int>, std::unique_ptr<GeneratedCharacter>> made;
  auto& slot = made[{kind, entries}];
  if (!slot) slot = std::make_unique<GeneratedCharacter>(entries, kind);
  return *slot;
}

// Construction: base file, four data files, patterns checked, state file.
void BM_LoadCharacter(benchmark::State& state, EntryKind kind) {
  const int entries = static_cast<int>(state.range(0));
  const std::string base = Generated(kind, entries).BaseFile();
  int64_t held = 0;
  for (auto _ : state) {
    // mallinfo2 walks the arenas: read it with the clock stopped.
    state.PauseTiming();
    const int64_t before = HeapInUse();
    state.ResumeTiming();
    auto character = std::make_unique<TCharacter>(base);
    state.PauseTiming();
    held = HeapInUse() - before;
    character.reset();  // saving the state file is not loading
    state.ResumeTiming();
  }
  state.counters["entries"] = entries;
  state.counters["heap_MiB"] = static_cast<double>(held) / (1 << 20);
}

// One turn: Talk with every slot, as the conversation's later turns do; the
// answer's tags are expanded too, as the conversation does next.
void BM_Turn(benchmark::State& state, EntryKind kind) {
  const GeneratedCharacter& generated = Generated(kind, static_cast<int>(state.range(0)));
  TCharacter character(generated.BaseFile());
  std::vector<std::u16string> inputs;
  for (const auto& input : generated.Inputs()) inputs.push_back(platform::Utf8ToWide(input));
  size_t i = 0;
  for (auto _ : state) {
    std::u16string answer = character.Talk(inputs[i++ % inputs.size()], AllSlots);
    benchmark::DoNotOptimize(character.ExpandTags(answer));
  }
  state.counters["turns_per_second"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// Two characters answer each other at full speed, each line the other's
// next input, as a conversation's turns do (without the transcript).
// "answered" is the share of lines drawn from the entries (not the opening,
// not free talk).
void BM_Converse(benchmark::State& state, Answers answers) {
  // A frozen clock and a fresh re-seed count make every run draw the same
  // answers, so the two sizes' ratio does not move with the time of day.
  platform::FreezeClock(platform::EncodeDateTime({2026, 12, 8, 9, 0, 0, 0}));
  platform::RestartReseedCount();
  const int entries = static_cast<int>(state.range(0));
  const GeneratedCharacter first(entries, EntryKind::kB, "いち", 7, answers);
  const GeneratedCharacter second(entries, EntryKind::kB, "に", 8, answers);
  TCharacter a(first.BaseFile()), b(second.BaseFile());
  TCharacter* speakers[] = {&a, &b};
  std::u16string said = platform::Utf8ToWide(first.Inputs()[0]);
  size_t line = 0, answered = 0;
  for (auto _ : state) {
    TCharacter& speaker = *speakers[line++ % 2];
    said = speaker.ExpandTags(speaker.Talk(said, AllSlots));
    const int slot = speaker.LastSource().Slot;
    answered += slot >= 2 && slot < TCharacter::kFirstFreeTalk;  // kind A or B
  }
  state.counters["lines_per_second"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["answered"] = static_cast<double>(answered) / static_cast<double>(line);
  platform::UnfreezeClock();
}

BENCHMARK_CAPTURE(BM_Converse, plain, Answers::kPlain)
    ->Arg(20000)
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(kTurns);
BENCHMARK_CAPTURE(BM_Converse, talk, Answers::kTalk)
    ->Arg(200)
    ->Arg(20000)
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(kTurns);

BENCHMARK_CAPTURE(BM_LoadCharacter, B, EntryKind::kB)
    ->Arg(20000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_Turn, B, EntryKind::kB)
    ->Arg(200)
    ->Arg(2000)
    ->Arg(20000)
    ->Arg(100000)
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(kTurns);
BENCHMARK_CAPTURE(BM_Turn, A, EntryKind::kA)
    ->Arg(2000)
    ->Arg(20000)
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(kTurns);
BENCHMARK_CAPTURE(BM_Turn, 0, EntryKind::k0)
    ->Arg(200)
    ->Arg(2000)
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(kTurns);

}  // namespace
}  // namespace parlevo

BENCHMARK_MAIN();
