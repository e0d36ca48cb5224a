// Tests for the process-wide generator: the exact sequence from a known
// state, the ranges of the draws and race-free concurrent stepping.

#include "platform/random.h"

#include <gtest/gtest.h>

#include <set>
#include <thread>
#include <vector>

#include "platform/clock.h"

namespace parlevo::platform {
namespace {

TEST(Random, ExactSequenceFromKnownState) {
  SetRandomState(12345);
  const struct {
    uint32_t state;
    int32_t draw;
  } expected[] = {
      {1655067934u, 38}, {1242767767u, 28}, {342459380u, 7}, {2377737157u, 55}, {2721613530u, 63}};
  for (const auto& e : expected) {
    EXPECT_EQ(RandomInt(100), e.draw);
    EXPECT_EQ(RandomState(), e.state);
  }
}

TEST(Random, RealIsStateTimesTwoToMinus32) {
  SetRandomState(0xFFFFFFFFu);
  EXPECT_DOUBLE_EQ(RandomReal(), 4160191484.0 / 4294967296.0);
  SetRandomState(0xFFFFFFFFu - 0);
  for (int i = 0; i < 1000; ++i) {
    double r = RandomReal();
    EXPECT_GE(r, 0.0);
    EXPECT_LT(r, 1.0);
  }
}

TEST(Random, NonPositiveRangeGivesZeroButStillSteps) {
  SetRandomState(7);
  EXPECT_EQ(RandomInt(0), 0);
  EXPECT_EQ(RandomInt(-5), 0);
  EXPECT_EQ(RandomState(), (7u * 134775813u + 1u) * 134775813u + 1u);
}

TEST(Random, ReseedsNeverRepeatAStateAndAFrozenClockReplaysThem) {
  FreezeClock(38053.0 + (9 * 3600 + 5 * 60 + 1) / 86400.0);  // 2004/03/07 09:05:01
  const uint32_t now = ((9u * 60 + 5) * 60 + 1) * 1000;
  auto run = [] {
    std::vector<uint32_t> seeds;
    for (int i = 0; i < 1000; ++i) {
      const uint32_t next = NextSeed();
      ReseedRandom();
      EXPECT_EQ(RandomState(), next);
      seeds.push_back(RandomState());
    }
    return seeds;
  };
  RestartReseedCount();
  const std::vector<uint32_t> first = run();
  EXPECT_EQ(first[0], now) << "the first seed of a process is the time of day";
  EXPECT_EQ(std::set<uint32_t>(first.begin(), first.end()).size(), first.size());
  RestartReseedCount();
  EXPECT_EQ(run(), first) << "from process start, a frozen clock gives the same seeds";
  UnfreezeClock();
}

TEST(Random, ConcurrentDrawsLoseNoStep) {
  // Every step is a bijection of the state, so N steps from a known state
  // land on one exact value only if no two threads ever took the same step.
  constexpr int kThreads = 4, kDraws = 20000;
  SetRandomState(1);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([] {
      for (int i = 0; i < kDraws; ++i) RandomInt(10);
    });
  }
  for (auto& t : threads) t.join();
  uint32_t expected = 1;
  for (int i = 0; i < kThreads * kDraws; ++i) expected = expected * 134775813u + 1u;
  EXPECT_EQ(RandomState(), expected);
}

}  // namespace
}  // namespace parlevo::platform
