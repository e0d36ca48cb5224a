// The soak: generated characters talk at full speed for 100,000 turns while
// conversations are paused, resumed, ended and restarted at random moments.
// Memory must stay steady, no action may hang, and every state file must
// read back as the characters left it. Run by `make soak`, not by ctest;
// PARLEVO_SOAK_TURNS sets another number of turns (a short run under TSan).
#include <gtest/gtest.h>
#include <unistd.h>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "app/conversation.h"
#include "engine/character.h"
#include "soak_characters.h"
#include "test_support.h"

namespace parlevo {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int64_t kDefaultTurns = 100000;
// Any single action taking this long is a hang, on however busy a machine.
constexpr std::chrono::seconds kActionBound{120};
// Heap in use may differ by this much between two quiet moments.
constexpr int64_t kHeapTolerance = 2 << 20;
// Resident memory may grow this much (allocator caches, fragmentation).
constexpr int64_t kResidentTolerance = 16 << 20;

// Under a sanitizer the allocator and the resident memory are its own, so
// the memory figures say nothing about the program.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kMemoryMeasured = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool kMemoryMeasured = false;
#else
constexpr bool kMemoryMeasured = true;
#endif
#else
constexpr bool kMemoryMeasured = true;
#endif

int64_t TurnsWanted() {
  const char* text = std::getenv("PARLEVO_SOAK_TURNS");
  return text != nullptr && std::atoll(text) > 0 ? std::atoll(text) : kDefaultTurns;
}

// ---------------------------------------------------------------------------
// What is measured and kept

struct MemorySample {
  int64_t resident = -1;  // bytes; -1 where the system does not tell
  int64_t heap = -1;      // bytes handed out by malloc and not yet freed
};

MemorySample SampleMemory() {
  MemorySample sample;
  std::ifstream statm("/proc/self/statm");
  int64_t pages = 0, resident = 0;
  if (statm >> pages >> resident) sample.resident = resident * ::sysconf(_SC_PAGESIZE);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || __GLIBC_MINOR__ >= 33)
  const struct mallinfo2 info = ::mallinfo2();
  sample.heap = static_cast<int64_t>(info.uordblks + info.hblkhd);
#endif
  return sample;
}

double MiB(int64_t bytes) { return bytes / 1048576.0; }

// Slots 50-99 of a character: what its state file must give back.
struct KeptSlots {
  std::array<std::string, 50> memos;
  std::array<double, 50> counts{};
  std::array<bool, 50> flags{};
  bool operator==(const KeptSlots&) const = default;
};

KeptSlots Kept(const TCharacter& character) {
  KeptSlots kept;
  for (int i = 0; i < 50; ++i) {
    kept.memos[i] = character.Memo(50 + i);
    kept.counts[i] = character.Count(50 + i);
    kept.flags[i] = character.Flag(50 + i);
  }
  return kept;
}

// A memo as the state file keeps it: one line, breaks as "{BR}", other
// control characters as blanks.
std::string AsSaved(const std::string& memo) {
  std::string line;
  for (size_t i = 0; i < memo.size(); ++i) {
    const unsigned char c = memo[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < memo.size() && memo[i + 1] == '\n') ++i;
      line += "{BR}";
    } else {
      line += c < 32 ? ' ' : static_cast<char>(c);
    }
  }
  return line;
}

KeptSlots AsSaved(KeptSlots kept) {
  for (std::string& memo : kept.memos) memo = AsSaved(memo);
  return kept;
}

// Counts lines and keeps both characters' slots as of the latest line: once
// a conversation has ended, they are what its release saved.
class SoakSink : public LineSink {
 public:
  void DeliverLine(const TParlevoThread& from, const TTurn& turn) override {
    // Character() is for the conversation thread, which this is.
    auto& conversation = const_cast<TParlevoThread&>(from);
    std::array<KeptSlots, 2> kept = {Kept(conversation.Character(0)),
                                     Kept(conversation.Character(1))};
    std::lock_guard lock(mutex_);
    ++lines_;
    bytes_ += turn.Line.size();
    last_ = std::move(kept);
    changed_.notify_all();
  }
  // Waits until `n` lines have arrived (the watchdog bounds the wait); false
  // when the conversation ended by itself first.
  bool WaitLines(int64_t n, const TParlevoThread& conversation) {
    std::unique_lock lock(mutex_);
    while (lines_ < n) {
      if (conversation.Finished()) return false;
      changed_.wait_for(lock, std::chrono::milliseconds(50));
    }
    return true;
  }
  int64_t Lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
  }
  int64_t Bytes() const {
    std::lock_guard lock(mutex_);
    return bytes_;
  }
  std::array<KeptSlots, 2> Last() const {
    std::lock_guard lock(mutex_);
    return last_;
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  int64_t lines_ = 0;
  int64_t bytes_ = 0;
  std::array<KeptSlots, 2> last_;
};

// ---------------------------------------------------------------------------
// The watchdog

// Fails the whole run with a message when an action does not complete within
// the bound: a hung thread cannot be joined, so the process ends at once.
class Watchdog {
 public:
  Watchdog() : thread_([this] { Watch(); }) {}
  ~Watchdog() {
    {
      std::lock_guard lock(mutex_);
      quit_ = true;
    }
    changed_.notify_all();
    thread_.join();
  }

  // Names the action that starts now; Done ends it.
  void Begin(const char* what) {
    std::lock_guard lock(mutex_);
    action_ = what;
    started_ = Clock::now();
  }
  void Done() {
    std::lock_guard lock(mutex_);
    action_ = nullptr;
  }

 private:
  void Watch() {
    std::unique_lock lock(mutex_);
    while (!changed_.wait_for(lock, std::chrono::milliseconds(200), [this] { return quit_; })) {
      if (action_ != nullptr && Clock::now() - started_ > kActionBound) {
        std::fprintf(stderr, "soak: \"%s\" did not complete within %lld s: a deadlock\n", action_,
                     static_cast<long long>(kActionBound.count()));
        std::fflush(stderr);
        std::_Exit(1);
      }
    }
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  const char* action_ = nullptr;
  Clock::time_point started_;
  bool quit_ = false;
  std::thread thread_;
};

// ---------------------------------------------------------------------------
// The run

struct Conversation {
  std::array<int, 2> who{};  // indexes of the two characters
  std::unique_ptr<SoakSink> sink;
  std::unique_ptr<TParlevoThread> thread;
};

class Soak {
 public:
  Soak() : random_(std::random_device{}()) {
    const char* names[] = {"甲", "乙", "丙"};
    for (int i = 0; i < 3; ++i) {
      bases_.push_back(test::WriteSoakCharacter(dir_, "c" + std::to_string(i), names[i], i));
    }
  }

  void Run(int64_t wanted) {
    const Clock::time_point start = Clock::now();
    std::unique_ptr<Conversation> current = Start();
    while (turns_ + current->sink->Lines() < wanted) {
      // Mostly short conversations, and now and then a long one, where
      // memory that grows turn by turn would show before its release.
      const int64_t length = Between(0, 4) == 0 ? Between(4000, 10000) : Between(20, 1500);
      // A short run (under TSan) still sees many restarts.
      Drive(*current, std::min({length, std::max<int64_t>(wanted / 10, 20), wanted - turns_}));
      if (turns_ >= wanted / 10) NoteTalkingHeap();
      current = End(std::move(current), wanted);
      if (current == nullptr) {
        // A quiet moment: nothing runs and no character is loaded.
        if (!warm_ && turns_ >= wanted / 10) warm_ = SampleMemory();
        current = Start();
      }
      if (::testing::Test::HasFailure()) return;
    }
    Finish(std::move(current));
    CheckStateFiles();
    seconds_ = std::chrono::duration<double>(Clock::now() - start).count();
  }

  void Report(std::FILE* out) const {
    const MemorySample warm = warm_.value_or(MemorySample{});
    const MemorySample end = SampleMemory();
    std::fprintf(out,
                 "soak: %lld turns in %lld conversations (%lld ended while another started, %lld "
                 "pauses), %.1f s, %.0f lines/s\n"
                 "soak: resident %.1f MiB after warm-up, %.1f MiB at the end; heap in use %.2f MiB "
                 "-> %.2f MiB between conversations, %.2f MiB -> at most %.2f MiB while talking\n",
                 static_cast<long long>(turns_), static_cast<long long>(conversations_),
                 static_cast<long long>(overlaps_), static_cast<long long>(pauses_), seconds_,
                 turns_ / seconds_, MiB(warm.resident), MiB(end.resident), MiB(warm.heap),
                 MiB(end.heap), MiB(talking_first_.value_or(-1)), MiB(talking_most_));
  }

  void CheckMemory() const {
    ASSERT_TRUE(warm_.has_value()) << "no quiet moment after the warm-up";
    const MemorySample end = SampleMemory();
    if (warm_->heap >= 0) {
      EXPECT_LE(end.heap, warm_->heap + kHeapTolerance)
          << "heap in use grew from " << MiB(warm_->heap) << " MiB to " << MiB(end.heap) << " MiB";
    }
    if (talking_first_ && *talking_first_ >= 0) {
      EXPECT_LE(talking_most_, *talking_first_ + kHeapTolerance)
          << "heap in use while talking grew from " << MiB(*talking_first_) << " MiB to "
          << MiB(talking_most_) << " MiB";
    }
    if (warm_->resident >= 0) {
      EXPECT_LE(end.resident, warm_->resident + kResidentTolerance)
          << "resident memory grew from " << MiB(warm_->resident) << " MiB to " << MiB(end.resident)
          << " MiB";
    }
  }

 private:
  int64_t Between(int64_t low, int64_t high) {
    return std::uniform_int_distribution<int64_t>(low, high)(random_);
  }

  // The heap with two characters loaded and talking, after the warm-up.
  void NoteTalkingHeap() {
    const int64_t heap = SampleMemory().heap;
    if (!talking_first_) talking_first_ = heap;
    talking_most_ = std::max(talking_most_, heap);
  }

  std::unique_ptr<Conversation> Start() {
    auto conversation = std::make_unique<Conversation>();
    conversation->who[0] = static_cast<int>(Between(0, 2));
    conversation->who[1] = (conversation->who[0] + static_cast<int>(Between(1, 2))) % 3;
    conversation->sink = std::make_unique<SoakSink>();
    watchdog_.Begin("starting a conversation");
    conversation->thread = std::make_unique<TParlevoThread>(
        bases_[conversation->who[0]], bases_[conversation->who[1]], "", 0, *conversation->sink);
    watchdog_.Done();
    ++conversations_;
    return conversation;
  }

  // Lets the conversation run to `lines` lines, doing something at random
  // every now and then.
  void Drive(Conversation& conversation, int64_t lines) {
    TParlevoThread& thread = *conversation.thread;
    SoakSink& sink = *conversation.sink;
    while (sink.Lines() < lines) {
      const int64_t next = std::min(lines, sink.Lines() + Between(1, 150));
      watchdog_.Begin("waiting for lines");
      const bool talking = sink.WaitLines(next, thread);
      watchdog_.Done();
      if (!talking) {
        ADD_FAILURE() << "the conversation ended by itself: " << thread.FailureMessage();
        return;
      }
      switch (Between(0, 5)) {
        case 0:
          PauseAndResume(thread, sink);
          break;
        case 1:
          thread.SetLogFormat(Between(0, 1) ? "" : "[%charname] %comment");
          break;
        case 2:
          // A short pace for a moment: the waits between turns run and are cut short.
          thread.SetInterval(static_cast<int32_t>(Between(1, 3)));
          std::this_thread::sleep_for(std::chrono::milliseconds(Between(0, 5)));
          thread.SetInterval(0);
          break;
        default:
          break;
      }
    }
  }

  void PauseAndResume(TParlevoThread& thread, SoakSink& sink) {
    ++pauses_;
    thread.Pause();
    const int64_t at = sink.Lines();
    std::this_thread::sleep_for(std::chrono::microseconds(Between(0, 3000)));
    // The turn in progress when the pause came may still finish; no other.
    EXPECT_LE(sink.Lines(), at + 1) << "a paused conversation went on talking";
    EXPECT_TRUE(thread.Paused());
    const int64_t held = sink.Lines();
    thread.Resume();
    watchdog_.Begin("resuming");
    EXPECT_TRUE(sink.WaitLines(held + 1, thread)) << thread.FailureMessage();
    watchdog_.Done();
  }

  // Ends the conversation in one of four ways. Returns the next conversation
  // when one was started while this one finished, else nullptr.
  std::unique_ptr<Conversation> End(std::unique_ptr<Conversation> conversation, int64_t wanted) {
    switch (Between(0, 3)) {
      case 0:  // ended while paused: it runs on to its stop
        conversation->thread->Pause();
        std::this_thread::sleep_for(std::chrono::microseconds(Between(0, 2000)));
        break;
      case 1:  // the next one starts while this one finishes its last turn
        if (turns_ + conversation->sink->Lines() < wanted) {
          conversation->thread->Terminate();
          std::unique_ptr<Conversation> next = Start();
          ++overlaps_;
          Finish(std::move(conversation));
          return next;
        }
        break;
      case 2:  // destroyed straight away
        watchdog_.Begin("destroying a conversation");
        conversation->thread.reset();
        watchdog_.Done();
        break;
      default:
        break;
    }
    Finish(std::move(conversation));
    CheckStateFiles();
    return nullptr;
  }

  // Stops and joins the conversation and notes what it saved.
  void Finish(std::unique_ptr<Conversation> conversation) {
    if (conversation->thread != nullptr) {
      conversation->thread->Terminate();
      watchdog_.Begin("ending a conversation");
      conversation->thread->WaitFor();
      watchdog_.Done();
      EXPECT_EQ(conversation->thread->FailureMessage(), "");
      conversation->thread.reset();
    }
    turns_ += conversation->sink->Lines();
    const std::array<KeptSlots, 2> last = conversation->sink->Last();
    for (int i = 0; i < 2; ++i) expected_[conversation->who[i]] = AsSaved(last[i]);
  }

  // With no conversation running, each character's state file gives back
  // what its last conversation left.
  void CheckStateFiles() {
    watchdog_.Begin("reading the state files");
    for (const auto& [who, kept] : expected_) {
      TCharacter character(bases_[who]);
      const KeptSlots read = Kept(character);
      for (int i = 0; i < 50; ++i) {
        ASSERT_EQ(read.memos[i], kept.memos[i]) << "memo " << 50 + i << " of character " << who;
        ASSERT_EQ(read.counts[i], kept.counts[i]) << "count " << 50 + i << " of character " << who;
        ASSERT_EQ(read.flags[i], kept.flags[i]) << "flag " << 50 + i << " of character " << who;
      }
    }
    expected_.clear();
    watchdog_.Done();
  }

  test::ScratchDir dir_;
  std::vector<std::string> bases_;
  std::mt19937_64 random_;
  Watchdog watchdog_;
  std::map<int, KeptSlots> expected_;  // character -> slots its state file must hold
  std::optional<MemorySample> warm_;
  std::optional<int64_t> talking_first_;
  int64_t talking_most_ = -1;
  int64_t turns_ = 0, conversations_ = 0, overlaps_ = 0, pauses_ = 0;
  double seconds_ = 0;
};

TEST(Soak, DISABLED_LongRunStaysSteady) {
  Soak soak;
  soak.Run(TurnsWanted());
  if (HasFailure()) return;
  soak.Report(stdout);
  if (kMemoryMeasured) soak.CheckMemory();
}

}  // namespace
}  // namespace parlevo
