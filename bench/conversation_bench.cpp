// Benchmarks of the conversation: how many lines per second the sample
// characters say at full speed, each line handed to a recording sink.
#include <benchmark/benchmark.h>

#include <condition_variable>
#include <cstddef>
#include <filesystem>
#include <mutex>
#include <random>
#include <string>
#include <vector>

#include "app/conversation.h"

namespace parlevo {
namespace {

// The samples copied to a scratch folder, so their state files land there.
class SampleCopy {
 public:
  SampleCopy() {
    std::random_device seed;
    dir_ = std::filesystem::temp_directory_path() / ("parlevo_bench_" + std::to_string(seed()));
    std::filesystem::copy(PARLEVO_EXAMPLES, dir_, std::filesystem::copy_options::recursive);
  }
  ~SampleCopy() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  SampleCopy(const SampleCopy&) = delete;
  SampleCopy& operator=(const SampleCopy&) = delete;

  std::string Hanako() const { return (dir_ / "hanako" / "hanako.ltc").string(); }
  std::string Robo() const { return (dir_ / "robo" / "robo.ltc").string(); }

 private:
  std::filesystem::path dir_;
};

// Keeps every line, as the window does, and lets the benchmark wait for a count.
class RecordingSink : public LineSink {
 public:
  RecordingSink() { lines_.reserve(1 << 16); }

  void DeliverLine(const TParlevoThread&, const TTurn& turn) override {
    std::lock_guard lock(mutex_);
    lines_.push_back(turn.Line);
    arrived_.notify_all();
  }
  void WaitLines(size_t n) {
    std::unique_lock lock(mutex_);
    arrived_.wait(lock, [&] { return lines_.size() >= n; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::vector<std::string> lines_;
};

// One line per iteration of a conversation that runs on its own thread at
// interval 0: the time of a turn, the hand-off to the sink included.
void BM_SampleTurn(benchmark::State& state) {
  SampleCopy samples;
  RecordingSink sink;
  TParlevoThread conversation(samples.Hanako(), samples.Robo(), "", 0, sink);
  size_t lines = 0;
  for (auto _ : state) sink.WaitLines(++lines);
  state.SetItemsProcessed(static_cast<int64_t>(lines));
}
BENCHMARK(BM_SampleTurn)->UseRealTime();

// A whole conversation of state.range(0) lines: loading both characters,
// talking, and saving both state files.
void BM_SampleConversation(benchmark::State& state) {
  SampleCopy samples;
  const size_t lines = static_cast<size_t>(state.range(0));
  for (auto _ : state) {
    RecordingSink sink;
    TParlevoThread conversation(samples.Hanako(), samples.Robo(), "", 0, sink);
    sink.WaitLines(lines);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * lines));
}
BENCHMARK(BM_SampleConversation)->Arg(1)->Arg(60)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace parlevo

BENCHMARK_MAIN();
