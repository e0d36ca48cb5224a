// The talk cycle: the order in which the data are asked, silence and
// repetition, the bookkeeping the tags read, and the weighted free-talk draw.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "character_test_util.h"
#include "engine/character.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/datetime.h"
#include "platform/random.h"

namespace parlevo {
namespace {

using testing::Ansi;
using testing::CharacterRecipe;
using testing::MakeCharacter;
using testing::TempDir;

std::u16string Wide(std::string_view utf8) { return platform::Utf8ToWide(utf8); }

// Freezes the clock for one test, so every Talk starts from a known seed.
class FrozenClock {
 public:
  explicit FrozenClock(int millisecond = 0) { At(millisecond); }
  ~FrozenClock() { platform::UnfreezeClock(); }
  // 2026/01/01 12:00:00 plus `millisecond` ms.
  void At(int millisecond) {
    platform::DateTimeParts parts{2026, 1, 1, 12, 0, millisecond / 1000, millisecond % 1000};
    platform::FreezeClock(platform::EncodeDateTime(parts));
  }
};

// The first draw Talk will make: the first after its re-seed.
double FirstDraw() {
  uint32_t state = platform::NextSeed() * 134775813u + 1u;
  return state / 4294967296.0;
}

class HanakoTalk : public ::testing::Test {
 protected:
  HanakoTalk() {
    testing::CopyTestCharacters(dir_);
    hanako_ = std::make_unique<TCharacter>(dir_ / "hanako.ltc");
  }
  std::u16string Say(std::string_view utf8, TDataSlots slots = AllSlots) {
    return hanako_->Talk(Wide(utf8), slots);
  }

  TempDir dir_;
  std::unique_ptr<TCharacter> hanako_;
};

TEST_F(HanakoTalk, TheOpeningAsksKindZeroAndKeepsTheBookkeeping) {
  EXPECT_EQ(Say("LCCalled", OpeningSlots), Wide("はじめまして、花子です。"));
  EXPECT_EQ(hanako_->TalkCount(), 1);
  EXPECT_EQ(hanako_->Input(), "LCCalled");
  EXPECT_EQ(hanako_->PrevInput(), "");
  EXPECT_EQ(hanako_->OperateMessage(), "LCCALLED");
  EXPECT_EQ(hanako_->LastAnswer(), Ansi("はじめまして、花子です。"));
  EXPECT_EQ(hanako_->Slot(2).Context(), hanako_->LastAnswer());
  EXPECT_EQ(hanako_->Slot(3).Context(), hanako_->LastAnswer());
  EXPECT_EQ(hanako_->Slot(0).Available(), 0);

  // Kind A answers in the context of what the character itself said last.
  EXPECT_EQ(Say("こんにちは"), Wide("こちらこそ、よろしくお願いします。"));
  EXPECT_EQ(hanako_->TalkCount(), 2);
  EXPECT_EQ(hanako_->PrevInput(), "LCCalled");
  EXPECT_EQ(hanako_->Input(), Ansi("こんにちは"));
  EXPECT_EQ(hanako_->OperateMessage(), Ansi("こんにちは"));
}

TEST_F(HanakoTalk, OnceOnlyTiersDrainAcrossFilesThenTheReusableDataAnswer) {
  Say("LCCalled", OpeningSlots);
  EXPECT_EQ(Say("天気"), Wide("今日はいい天気ですね。"));
  // The second tier starts in the first file and goes on in the second.
  std::vector<std::u16string> second_tier = {Say("天気"), Say("天気")};
  std::sort(second_tier.begin(), second_tier.end());
  std::vector<std::u16string> expected = {Wide("晴れるといいですね。"), Wide("雨も好きです。")};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(second_tier, expected);
  EXPECT_EQ(hanako_->Slot(4).Available(), 1);  // only 名前 is left
  // Drained for this input: the enciphered reusable data hear the repetition.
  EXPECT_EQ(Say("天気"), Wide("さっきも聞きましたよ。"));
}

TEST_F(HanakoTalk, SilenceAndContextAnswers) {
  Say("LCCalled", OpeningSlots);
  EXPECT_EQ(Say(""), Wide("どうしたの？"));
  EXPECT_EQ(hanako_->Input(), "");
  EXPECT_EQ(hanako_->OperateMessage(), "{NOTHINGSAID}");
  Say("天気");
  EXPECT_EQ(Say("そうですね"), Wide("ですよね。"));
}

TEST_F(HanakoTalk, OnlyTheSlotsAskedForAnswer) {
  EXPECT_EQ(Say("天気", 1 << 7), Wide("なるほど。"));
  EXPECT_EQ(hanako_->OperateMessage(), "");
  EXPECT_EQ(hanako_->Slot(0).Available(), 1);
  EXPECT_EQ(Say("天気", 0), u"");
  EXPECT_EQ(hanako_->TalkCount(), 2);
}

TEST(CharacterTalk, RepetitionIsTheSameTextAsTheInputBefore) {
  TempDir dir;
  TCharacter character(
      MakeCharacter(dir, {"210", "N", {{"datab2", {"{REPEATED},again", "{PRIOR},x", "ABC,abc"}}}}));
  struct Step {
    std::u16string input;
    std::u16string answer;
    std::string seen;  // what the data saw
  };
  const std::vector<Step> steps = {
      {u"abc", u"abc", "ABC"},
      {u"ABC", u"abc", "ABC"},  // letter case counts
      {u"ABC", u"again", "ABC{REPEATED}"},
      {u"ABC", u"again", "ABC{REPEATED}"},
      {u"", u"", "{NOTHINGSAID}"},
      {u"", u"", "{NOTHINGSAID}"},  // silence is never a repetition
  };
  for (const Step& step : steps) {
    EXPECT_EQ(character.Talk(step.input, AllSlots), step.answer);
    EXPECT_EQ(character.OperateMessage(), step.seen);
  }
}

TEST(CharacterTalk, NoAnswerEmptiesTheLastAnswerAndTheContexts) {
  TempDir dir;
  TCharacter character(
      MakeCharacter(dir, {"210", "N", {{"data02", {"FALSE,never"}}, {"datab2", {"Z,z"}}}}));
  EXPECT_EQ(character.Talk(u"Z", AllSlots), u"z");
  EXPECT_EQ(character.Slot(2).Context(), "z");
  EXPECT_EQ(character.Talk(u"LCCalled", OpeningSlots), u"");
  EXPECT_EQ(character.LastAnswer(), "");
  EXPECT_EQ(character.Slot(2).Context(), "");
  EXPECT_EQ(character.Slot(3).Context(), "");
}

TEST(CharacterTalk, ReloadingKeepsTheContext) {
  TempDir dir;
  TCharacter character(MakeCharacter(dir, {"210", "N", {{"datab2", {"Z,z"}}}}));
  EXPECT_EQ(character.Talk(u"Z", AllSlots), u"z");
  character.ReloadData();
  EXPECT_EQ(character.Slot(2).Context(), "z");
  EXPECT_EQ(character.Slot(3).Context(), "z");
}

TEST(CharacterTalk, KindZeroConditionsAreThisCharactersTags) {
  TempDir dir;
  TCharacter character(MakeCharacter(dir, {"210", "N", {{"data02", {"{FLAG51},flagged"}}}}));
  EXPECT_EQ(character.Talk(u"x", OpeningSlots), u"");
  character.SetFlag(51, true);
  EXPECT_EQ(character.Talk(u"x", OpeningSlots), u"flagged");
}

// A tier's conditions are evaluated in order, each seeing what the tags of
// the ones before it changed, so a condition asked twice may answer twice
// differently; conditions without tags are their own value.
TEST(CharacterTalk, KindZeroConditionsSeeWhatEarlierConditionsChanged) {
  for (const bool reference : {false, true}) {
    TempDir dir;
    TCharacter character(MakeCharacter(
        dir, {"210",
              "N",
              {{"data02",
                {"{FLAG51},a", "{FLAG51!},b", "{FLAG51},c", "{=={COUNT52}|0},d", "{COUNT52++},e",
                 "{=={COUNT52}|0},f", "true,g", "TRUE},h", "yes,i", "{FLAG51},j"}}}}));
    static_cast<TLumoData0&>(character.Slot(1)).SetReferenceEvaluation(reference);
    for (int turn = 0; turn < 3; ++turn) {
      TAnswerList candidates(8);
      character.Slot(1).MatchTier("", 0, character.Slot(1).EntryCount(), candidates);
      std::vector<int32_t> found;
      for (int32_t c = 0; c < candidates.Count(); ++c) found.push_back(candidates.Item(c));
      // FLAG51 is toggled once per evaluation of entry 1; COUNT52 grows by one.
      const bool before = turn % 2 == 1;
      std::vector<int32_t> expected;
      if (before) expected.push_back(0);
      if (!before) expected.push_back(2);
      if (turn == 0) expected.push_back(3);
      expected.push_back(6);
      if (!before) expected.push_back(9);
      EXPECT_EQ(found, expected) << "turn " << turn << (reference ? ", reference" : "");
    }
  }
}

TEST(CharacterTalk, FreeTalkIsDrawnByHowManyEntriesEachObjectHasLeft) {
  TempDir dir;
  TCharacter character(
      MakeCharacter(dir, {"210", "N", {{"datac1", {"c1-a", "c1-b", "c1-c"}}, {"datac2", {"c2"}}}}));
  FrozenClock clock;
  int first = 0;
  int second = 0;
  for (int ms = 0; ms < 60; ++ms) {
    clock.At(ms * 7);
    const double n1 = character.Slot(6).Available();
    const double n2 = character.Slot(7).Available();
    const bool expect_first = FirstDraw() < n1 / (n1 + n2);
    std::u16string answer = character.Talk(u"x", AllSlots);
    EXPECT_EQ(answer.rfind(u"c1-", 0) == 0, expect_first) << "at " << ms * 7 << " ms";
    if (!expect_first) {
      EXPECT_EQ(answer, u"c2");
    }
    (expect_first ? first : second) += 1;
  }
  EXPECT_EQ(first, 3) << "the once-only object drains and is then never drawn";
  EXPECT_EQ(second, 57);
}

TEST(CharacterTalk, TheObjectNotDrawnIsNotAskedEvenWhenTheDrawnOneIsSilent) {
  TempDir dir;
  TCharacter character(MakeCharacter(dir, {"210", "N", {{"datac1", {""}}, {"datac2", {"c2"}}}}));
  FrozenClock clock;
  int ms = 0;
  while (FirstDraw() >= 0.5) clock.At(++ms);  // an instant that draws DataC1
  EXPECT_EQ(character.Talk(u"x", AllSlots), u"");
  EXPECT_EQ(character.Slot(6).Available(), 0);  // its empty line is used up
  EXPECT_EQ(character.Talk(u"x", AllSlots), u"c2");
  // Only one of the two asked: each of them answers alone.
  EXPECT_EQ(character.Talk(u"x", 1 << 6), u"");
  EXPECT_EQ(character.Talk(u"x", 1 << 7), u"c2");
}

TEST(CharacterTalk, NoDrawWhenBothFreeTalkObjectsAreEmpty) {
  TempDir dir;
  TCharacter character(MakeCharacter(dir, {"210", "N", {{"datab2", {"NEVER,x"}}}}));
  FrozenClock clock(1234);
  const uint32_t seed = platform::NextSeed();
  EXPECT_EQ(character.Talk(u"hello", AllSlots), u"");
  EXPECT_EQ(platform::RandomState(), seed) << "nothing was drawn";
}

}  // namespace
}  // namespace parlevo
