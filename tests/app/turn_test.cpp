// The turn pipeline: every kind of data object and the opening report where
// their answer came from, an enciphered file counting its key line, and a
// character loaded for tools leaves its state file alone.
#include "app/turn.h"

#include <gtest/gtest.h>

#include "app/test_support.h"
#include "data/crypt.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/textfile.h"

namespace parlevo {
namespace {

struct Expected {
  std::string_view input;
  std::string_view said;
  std::string_view slot;
  TLumoKind kind;
  std::string_view file;
  int32_t line, tier, tiers, candidates;
};

class TurnTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::FreezeClock(46000.5); }
  void TearDown() override { platform::UnfreezeClock(); }

  std::string WriteProvenanceCharacter() {
    std::vector<std::string> secret = {"HELLO,hi-secret", "{PRIOR},x", "HELLO,later"};
    TCrypt crypt(cmEncrypt);
    crypt.SetKey("turnkey");
    crypt.CryptLines(secret);
    return test::WriteCharacter(dir_, "pro",
                                {{"data01", {"{PRIOR},x", "{==1|1},OPENED{WHO}"}},
                                 {"dataa1", {"OPENED,BYE,bye-after-opening"}},
                                 {"datab1", secret},
                                 {"datab2", {"BYE,bye", "BYE,so long"}},
                                 {"datac1", {"just-chatting"}}});
  }

  test::ScratchDir dir_;
};

TEST_F(TurnTest, EveryKindAndTheOpeningSayWhereTheAnswerCameFrom) {
  TCharacter character(WriteProvenanceCharacter(), TStateUse::kReadOnly);
  TTurn opening = SpeakTurn(character, kOpeningInput, OpeningSlots, "%charname: %comment");
  EXPECT_EQ(opening.Said, "OPENED");  // "{WHO}" is no tag: its braces go
  EXPECT_EQ(opening.Line, "pro: OPENED");
  ASSERT_TRUE(opening.Source);
  EXPECT_EQ(opening.Source->SlotKey, "data01");
  EXPECT_EQ(opening.Source->Kind, TLumoKind::k0);
  EXPECT_EQ(opening.Source->File, "data01.txt");
  EXPECT_EQ(opening.Source->Line, 2);
  EXPECT_EQ(opening.Source->Tier, 2);
  EXPECT_EQ(opening.Source->Tiers, 2);
  EXPECT_EQ(opening.Source->Candidates, 1);
  EXPECT_EQ(opening.Source->Condition, "{==1|1}");

  // Each turn hears the previous one; kind A sees the opening as context.
  const Expected turns[] = {
      {"bye", "bye-after-opening", "dataa1", TLumoKind::kA, "dataa1.txt", 1, 1, 1, 1},
      {"hello", "hi-secret", "datab1", TLumoKind::kB, "datab1.txt", 2, 1, 2, 1},
      {"hello", "later", "datab1", TLumoKind::kB, "datab1.txt", 4, 2, 2, 1},
      {"bye", "", "datab2", TLumoKind::kB, "datab2.txt", 0, 1, 1, 2},
      {"nothing known", "just-chatting", "datac1", TLumoKind::kC, "datac1.txt", 1, 1, 1, 1},
  };
  for (const Expected& e : turns) {
    SCOPED_TRACE(e.input);
    TTurn turn = SpeakTurn(character, e.input, AllSlots, "%comment");
    ASSERT_TRUE(turn.Source);
    if (!e.said.empty()) {
      EXPECT_EQ(turn.Said, e.said);
    }
    EXPECT_EQ(turn.Source->SlotKey, e.slot);
    EXPECT_EQ(turn.Source->Kind, e.kind);
    EXPECT_EQ(turn.Source->File, e.file);
    if (e.line > 0) {
      EXPECT_EQ(turn.Source->Line, e.line);
    }
    EXPECT_EQ(turn.Source->Tier, e.tier);
    EXPECT_EQ(turn.Source->Tiers, e.tiers);
    EXPECT_EQ(turn.Source->Candidates, e.candidates);
    EXPECT_TRUE(turn.Source->Condition.empty());
  }
}

TEST_F(TurnTest, NoAnswerHasNoSourceAndAReadOnlyCharacterWritesNoStateFile) {
  const std::string base =
      test::WriteCharacter(dir_, "quiet", {{"datab2", {"ONLY,{MEMO60:x}yes"}}});
  const std::string state = (dir_.Path() / "quiet" / "quiet.lts").string();
  {
    TCharacter character(base, TStateUse::kReadOnly);
    EXPECT_FALSE(SpeakTurn(character, "something else", AllSlots, "%comment").Source);
    EXPECT_EQ(SpeakTurn(character, "only", AllSlots, "%comment").Said, "yes");
  }
  EXPECT_FALSE(platform::FileExists(state));
  { TCharacter written(base); }
  ASSERT_TRUE(platform::FileExists(state));
  const std::string before = dir_.Read("quiet/quiet.lts");
  {
    TCharacter character(base, TStateUse::kReadOnly);
    SpeakTurn(character, "only", AllSlots, "%comment");
  }
  EXPECT_EQ(dir_.Read("quiet/quiet.lts"), before);
}

}  // namespace
}  // namespace parlevo
