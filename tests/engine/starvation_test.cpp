// The starvation analysis against the talk itself: random small characters
// talk for many turns (all hours, every kind of input, openings among them),
// and no turn may ever answer from an entry the analysis says is starved.
#include "engine/starvation.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "character_test_util.h"
#include "engine/character.h"
#include "platform/clock.h"
#include "platform/datetime.h"

namespace parlevo {
namespace {

using testing::CharacterRecipe;
using testing::TempDir;

// One data file of `lines` entries: each a field choice from `fields`
// (comma text without the answer), an answer (now and then empty), and a
// tier marker now and then.
std::vector<std::string> DataLines(std::mt19937& random, int lines,
                                   const std::vector<std::string>& fields,
                                   const std::string& marker) {
  std::vector<std::string> out;
  for (int i = 0; i < lines; ++i) {
    if (random() % 5 == 0) out.push_back(marker);
    const std::string answer = random() % 12 == 0 ? "" : "a" + std::to_string(i);
    out.push_back(fields.empty() ? answer + "c" : fields[random() % fields.size()] + "," + answer);
  }
  return out;
}

CharacterRecipe RandomCharacter(std::mt19937& random) {
  const std::vector<std::string> conditions = {"True",     "{==1|1}", "{<{HOUR}|12}",
                                               "{FLAG60}", "{==1|2}", "{<={DAY}|31}"};
  const std::vector<std::string> contexts = {"\"\",\"\"", "x*,A", "A,\"\"", "^B,x*", "\"\",C"};
  const std::vector<std::string> patterns = {"\"\"", "A", "B", "x*", "^C$", "(A|B)?"};
  CharacterRecipe recipe;
  for (const char* key : {"data01", "data02"}) {
    if (random() % 2) recipe.data[key] = DataLines(random, 4, conditions, "{PRIOR},-");
  }
  for (const char* key : {"dataa1", "dataa2"}) {
    if (random() % 2) recipe.data[key] = DataLines(random, 4, contexts, "{PRIOR},-,-");
  }
  for (const char* key : {"datab1", "datab2"}) {
    if (random() % 2) recipe.data[key] = DataLines(random, 5, patterns, "{PRIOR},-");
  }
  for (const char* key : {"datac1", "datac2"}) {
    recipe.data[key] = DataLines(random, 3, {}, "{PRIOR}");
  }
  return recipe;
}

TEST(Starvation, NoTurnEverAnswersFromAStarvedEntry) {
  std::mt19937 random(20261208);
  const std::vector<std::u16string> inputs = {u"A", u"B", u"C", u"zzz", u"", u"AB"};
  int starved_entries = 0;
  for (int character_number = 0; character_number < 60; ++character_number) {
    TempDir dir;
    const std::string base = testing::MakeCharacter(dir, RandomCharacter(random));
    TCharacter character(base, TCharacterOptions(TStateUse::kReadOnly));
    const TStarvation starvation = AnalyzeStarvation(character);
    for (const auto& slot : starvation.StarvedBy) {
      for (int32_t by : slot) starved_entries += by >= 0;
    }
    for (int turn = 0; turn < 200; ++turn) {
      platform::FreezeClock(
          platform::EncodeDateTime({2026, 1 + turn % 12, 1 + turn % 28, turn % 24, 0, 0, 0}));
      character.SetFlag(60, turn % 3 == 0);
      character.Talk(inputs[random() % inputs.size()], turn % 17 == 0 ? OpeningSlots : AllSlots);
      const TAnswerSource& source = character.LastSource();
      if (source.Slot < 0) continue;
      const int32_t by =
          starvation
              .StarvedBy[static_cast<size_t>(source.Slot)][static_cast<size_t>(source.Pick.Entry)];
      ASSERT_EQ(by, -1) << "character " << character_number << " turn " << turn << ": "
                        << TCharacter::DataKey(source.Slot) << " entry " << source.Pick.Entry
                        << " answered though " << starvation.Starvers[by].File << ":"
                        << starvation.Starvers[by].Line << " starves it";
    }
  }
  platform::UnfreezeClock();
  EXPECT_GT(starved_entries, 100) << "the characters starve too little to test the analysis";
}

}  // namespace
}  // namespace parlevo
