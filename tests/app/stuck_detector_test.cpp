// The loop detector: cycles of one to twelve utterances are noticed at their
// third round, and long lively conversations raise no alarm.
#include "app/stuck_detector.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "app/turn.h"
#include "generated_character.h"
#include "platform/clock.h"
#include "platform/codepage.h"

namespace parlevo {
namespace {

TEST(StuckDetector, NoticesEveryCycleOfOneToTwelveAtItsThirdRound) {
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

// The span of lines a loop takes up, read off the whole transcript: the
// shortest cycle whose third round ends at the last line.
int32_t LoopAtEnd(const std::vector<std::string>& lines) {
  const size_t n = lines.size();
  for (size_t cycle = 1; cycle <= TStuckDetector::kLongestCycle && 3 * cycle <= n; ++cycle) {
    bool repeats = true;
    for (size_t i = n - 2 * cycle; i < n && repeats; ++i) repeats = lines[i] == lines[i - cycle];
    if (repeats) return static_cast<int32_t>(3 * cycle);
  }
  return 0;
}

// Ten thousand lines of the samples: every alarm is a loop the transcript
// really shows, and none is missed (once their once-only topics are used up
// the samples do fall into rotations of up to eight lines for a while). A
// generated character answering a partner who says its inputs in a random
// order never loops: no alarm in ten thousand lines.
TEST(StuckDetector, TenThousandLinesRaiseAnAlarmOnlyWhereTheTranscriptLoops) {
  constexpr int kLines = 10000;
  double now = 46147.5;  // the clock steps 2 s per line, as the window does
  {
    TCharacter hanako(PARLEVO_EXAMPLES "/hanako/hanako.ltc", TStateUse::kNone);
    TCharacter robo(PARLEVO_EXAMPLES "/robo/robo.ltc", TStateUse::kNone);
    hanako.SetPartner("ロボ");
    robo.SetPartner("花子");
    TCharacter* speakers[2] = {&hanako, &robo};
    TStuckDetector detector;
    std::vector<std::string> transcript;
    std::string heard(kOpeningInput);
    for (int line = 0; line < kLines; ++line) {
      platform::FreezeClock(now += 2.0 / 86400);
      TTurn turn = SpeakTurn(*speakers[line % 2], heard, line == 0 ? OpeningSlots : AllSlots,
                             "%charname > %comment");
      transcript.push_back(turn.Said);
      ASSERT_EQ(detector.Add(turn.Said), LoopAtEnd(transcript))
          << "line " << line << ": " << platform::AnsiToUtf8(turn.Line);
      heard = turn.Said;
    }
  }
  // Both speakers' lines go to the detector.
  bench::GeneratedCharacter generated(400, bench::EntryKind::kA);
  TCharacter character(generated.BaseFile(), TStateUse::kNone);
  std::mt19937 draw(2026);
  TStuckDetector detector;
  for (int line = 0; line < kLines; line += 2) {
    platform::FreezeClock(now += 2.0 / 86400);
    const std::string heard =
        platform::Utf8ToAnsi(generated.Inputs()[draw() % generated.Inputs().size()]);
    ASSERT_EQ(detector.Add(heard), 0) << "line " << line;
    TTurn turn = SpeakTurn(character, heard, AllSlots, "%charname > %comment");
    ASSERT_EQ(detector.Add(turn.Said), 0)
        << "line " << line + 1 << ": " << platform::AnsiToUtf8(turn.Line);
  }
  platform::UnfreezeClock();
}

}  // namespace
}  // namespace parlevo
