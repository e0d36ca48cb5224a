// Explain against real turns, on generated characters of every kind, with
// tiers and once-only objects, and random inputs: the entry a turn picks is
// always a candidate Explain named for that object and tier, every candidate
// it names can be drawn, and free talk follows the weights it gives.
#include "engine/explain.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "app/turn.h"
#include "platform/codepage.h"
#include "soak_characters.h"
#include "test_support.h"

namespace parlevo {
namespace {

constexpr int kTurns = 1500;

// Kind 0 conditions on what is said only: no effects and no draws, so that
// explaining before a turn cannot change what the turn sees.
std::vector<std::string> Conditions(int first) {
  std::vector<std::string> lines = {"{EQ{OPERATEMESSAGE}|LCCALLED},はじめまして" +
                                    std::to_string(first)};
  for (int n = first; n < first + 6; ++n) {
    const std::string& word = test::kSoakWords[static_cast<size_t>(n) % test::kSoakWords.size()];
    if (n == first + 3) lines.push_back("{PRIOR},-");
    lines.push_back("{LIKE{OPERATEMESSAGE}|" + word + "}," + word + "の話" + std::to_string(n));
  }
  lines.push_back("{PRIOR},-");
  lines.push_back("TRUE,いつもの" + std::to_string(first));
  return lines;
}

// Lines with a tier divider inserted at `at`.
std::vector<std::string> Divided(std::vector<std::string> lines, size_t at) {
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), "{PRIOR},-,-");
  return lines;
}

// A character of all eight objects (the odd ones once-only), written as
// UTF-8 text converted to the code page.
std::string WriteExplainedCharacter(const test::ScratchDir& dir, const std::string& name,
                                    int variant) {
  const test::SoakRecipe recipe(variant);
  // Free talk weighed about 9:1 at first, so that wrong odds show.
  std::vector<std::string> c1 = recipe.KindC(0, 300);
  c1.insert(c1.begin() + 150, "{PRIOR}");
  const test::DataFiles files = {{"data01", Conditions(variant)},
                                 {"data02", Conditions(variant + 7)},
                                 {"dataa1", Divided(recipe.KindA(0, 20), 10)},
                                 {"dataa2", Divided(recipe.KindA(20, 20), 10)},
                                 {"datab1", recipe.KindB(0, 30)},
                                 {"datab2", recipe.KindB(30, 30)},
                                 {"datac1", c1},
                                 {"datac2", recipe.KindC(20, 30)}};
  test::DataFiles ansi;
  for (const auto& [key, lines] : files) {
    std::vector<std::string> converted;
    for (const std::string& line : lines) converted.push_back(platform::Utf8ToAnsi(line));
    ansi.push_back({key, converted});
  }
  return test::WriteCharacter(dir, name, ansi);
}

// What a partner might say: a few words with something between them,
// silence, a repetition, or the opening event.
std::u16string RandomInput(std::mt19937& random, const std::u16string& last) {
  const int shape = static_cast<int>(random() % 10);
  if (shape == 0) return u"";
  if (shape == 1) return last;
  if (shape == 2) return platform::AnsiToWide(kOpeningInput);
  std::string text;
  for (int words = static_cast<int>(random() % 4); words >= 0; --words) {
    text += test::kSoakWords[random() % test::kSoakWords.size()];
    text += random() % 2 ? "、" : std::to_string(random() % 100) + "個";
  }
  return platform::Utf8ToWide(text);
}

TDataSlots RandomSlots(std::mt19937& random) {
  switch (random() % 6) {
    case 0:
      return OpeningSlots;
    case 1:
      return 0xC0;  // free talk only
    case 2:
      return static_cast<TDataSlots>(random() % 256);
    default:
      return AllSlots;
  }
}

// Draws from `slot` often enough that every candidate Explain named comes
// up, and nothing else (kind 0 is left out: its conditions read
// {OPERATEMESSAGE}, which only a turn sets).
void ExpectEveryCandidateDrawn(TCharacter& character, const TExplanation& explanation, int slot) {
  const TExplainedTier& tier = explanation.Slots[static_cast<size_t>(slot)].front();
  if (slot < 2 || tier.Entries.size() > 12) return;
  const std::set<int32_t> candidates(tier.Entries.begin(), tier.Entries.end());
  std::set<int32_t> drawn;
  // Missing one of n candidates in 40n draws: about n * e^-40.
  for (size_t draw = 0; draw < 40 * candidates.size(); ++draw) {
    const std::optional<TPick> pick = character.Slot(slot).Pick(explanation.Input);
    ASSERT_TRUE(pick);
    ASSERT_EQ(pick->Tier, tier.Tier);
    ASSERT_TRUE(candidates.count(pick->Entry)) << pick->Entry;
    drawn.insert(pick->Entry);
  }
  EXPECT_EQ(drawn, candidates);
}

// Free talk's draws between two weighed objects, summed over a run.
struct TFreeTalkTally {
  int Draws = 0;
  int FirstChosen = 0;
  double Expected = 0;  // sum of the first object's odds
  double Variance = 0;
};

TEST(Explain, NamesWhatTurnsChooseAndTheOddsOfFreeTalk) {
  test::ScratchDir dir;
  std::mt19937 random(20260102);
  TFreeTalkTally tally;
  int answered = 0;
  for (int variant = 0; variant < 2; ++variant) {
    TCharacter character(WriteExplainedCharacter(dir, "c" + std::to_string(variant), variant),
                         TStateUse::kReadOnly);
    std::u16string last;
    for (int turn = 0; turn < kTurns; ++turn) {
      const std::u16string input = RandomInput(random, last);
      const TDataSlots slots = RandomSlots(random);
      const TExplanation explanation = Explain(character, input, std::nullopt, slots);
      const std::vector<TAnswerer>& answerers = explanation.Answerers;
      if (answerers.size() == 1)
        ExpectEveryCandidateDrawn(character, explanation, answerers[0].Slot);

      character.Talk(input, slots);
      last = input;
      const std::optional<TTurnSource> source = LastSource(character);
      ASSERT_EQ(source.has_value(), !answerers.empty()) << "turn " << turn;
      if (!source) continue;
      ++answered;
      const auto answerer =
          std::find_if(answerers.begin(), answerers.end(),
                       [&](const TAnswerer& a) { return a.Slot == source->Slot; });
      ASSERT_NE(answerer, answerers.end()) << "turn " << turn << " slot " << source->Slot;
      EXPECT_EQ(source->Tier, answerer->Tier);
      EXPECT_EQ(source->Candidates, answerer->Candidates);
      const std::vector<int32_t>& candidates =
          explanation.Slots[static_cast<size_t>(source->Slot)].front().Entries;
      EXPECT_NE(std::find(candidates.begin(), candidates.end(), source->Entry), candidates.end());
      if (answerers.size() == 2) {
        const double odds =
            static_cast<double>(answerers[0].Weight) / (answerers[0].Weight + answerers[1].Weight);
        ++tally.Draws;
        tally.FirstChosen += source->Slot == answerers[0].Slot;
        tally.Expected += odds;
        tally.Variance += odds * (1 - odds);
      }
    }
  }
  EXPECT_GT(answered, kTurns);
  // Enough weighed draws to see the odds, and the first object chosen as
  // often as they say, within six standard deviations (and one draw).
  ASSERT_GT(tally.Draws, 100);
  EXPECT_LE(std::abs(tally.FirstChosen - tally.Expected), 6 * std::sqrt(tally.Variance) + 1)
      << tally.FirstChosen << " of " << tally.Draws << ", expected " << tally.Expected;
}

}  // namespace
}  // namespace parlevo
