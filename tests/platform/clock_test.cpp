// Tests for the clock: freezing, the UTC milliseconds taken from a frozen
// instant, and that the real clock and the tick counter move sensibly.

#include "platform/clock.h"

#include <gtest/gtest.h>

#include <thread>

#include "platform/datetime.h"

namespace parlevo::platform {
namespace {

TEST(Clock, FrozenInstantIsReturned) {
  double instant = EncodeDateTime({2004, 3, 7, 9, 5, 1, 250});
  FreezeClock(instant);
  EXPECT_TRUE(ClockFrozen());
  EXPECT_EQ(NowLocal(), instant);
  EXPECT_EQ(UtcMillisecondsOfDay(), ((9u * 60 + 5) * 60 + 1) * 1000 + 250);
  UnfreezeClock();
  EXPECT_FALSE(ClockFrozen());
}

TEST(Clock, RealClockIsAPlausibleDate) {
  UnfreezeClock();
  DateTimeParts now = DecodeDateTime(NowLocal());
  EXPECT_GE(now.year, 2020);
  EXPECT_LE(now.year, 2200);
  EXPECT_LT(UtcMillisecondsOfDay(), 86400000u);
}

TEST(Clock, TickCountNeverRunsBackward) {
  uint32_t first = TickCount();
  std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_GE(static_cast<uint32_t>(TickCount() - first), 5u);
}

}  // namespace
}  // namespace parlevo::platform
