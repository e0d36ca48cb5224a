// The loop detector: cycles of one to four utterances are noticed at their
// third round, and a lively conversation of the samples raises no alarm.
#include "app/stuck_detector.h"

#include <gtest/gtest.h>

#include "app/turn.h"
#include "platform/clock.h"
#include "platform/codepage.h"

namespace parlevo {
namespace {

TEST(StuckDetector, NoticesEveryCycleOfOneToFourAtItsThirdRound) {
  for (int cycle = 1; cycle <= TStuckDetector::kLongestCycle; ++cycle) {
    SCOPED_TRACE(cycle);
    TStuckDetector detector;
    // A lead-in that shares texts with the cycle, then the cycle itself.
    for (const char* said : {"a", "b", "a", "q"}) EXPECT_EQ(detector.Add(said), 0);
    const int span = cycle * 3;
    for (int i = 0; i < span; ++i) {
      const int32_t stuck = detector.Add(std::string(1, static_cast<char>('a' + i % cycle)));
      EXPECT_EQ(stuck, i + 1 == span ? span : 0) << "line " << i;
    }
    EXPECT_EQ(detector.Add("something new"), 0);  // out of the loop again
  }
}

TEST(StuckDetector, TheSamplesTalkTwoHundredLinesWithoutAFalseAlarm) {
  double now = 46147.5;  // the clock steps 2 s per line, as the window does
  for (int run = 0; run < 3; ++run) {
    TCharacter hanako(PARLEVO_EXAMPLES "/hanako/hanako.ltc", TStateUse::kReadOnly);
    TCharacter robo(PARLEVO_EXAMPLES "/robo/robo.ltc", TStateUse::kReadOnly);
    hanako.SetPartner("ロボ");
    robo.SetPartner("花子");
    TCharacter* speakers[2] = {&hanako, &robo};
    TStuckDetector detector;
    std::string heard(kOpeningInput);
    for (int line = 0; line < 200; ++line) {
      platform::FreezeClock(now += 2.0 / 86400 + run * 0.37);
      TTurn turn = SpeakTurn(*speakers[line % 2], heard, line == 0 ? OpeningSlots : AllSlots,
                             "%charname > %comment");
      ASSERT_EQ(detector.Add(turn.Said), 0)
          << "run " << run << ", line " << line << ": " << platform::AnsiToUtf8(turn.Line);
      heard = turn.Said;
    }
  }
  platform::UnfreezeClock();
}

}  // namespace
}  // namespace parlevo
