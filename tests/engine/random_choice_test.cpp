// Statistical tests of the character's random choices at full speed, where
// thousands of draws fall within one millisecond: the shares must follow the
// weights. Each check fails by chance with a probability below one in a
// million (chi-square upper points), so a failure means a fault.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "character_test_util.h"
#include "engine/character.h"
#include "platform/clock.h"
#include "platform/datetime.h"

namespace parlevo {
namespace {

using testing::CharacterRecipe;
using testing::MakeCharacter;
using testing::TempDir;

// Upper 1e-6 points of the chi-square distribution with 1, 2 and 9 degrees
// of freedom.
constexpr double kChiSquare1 = 23.93;
constexpr double kChiSquare2 = 27.63;
constexpr double kChiSquare9 = 44.81;

constexpr int kDraws = 10000;

double ChiSquare(const std::vector<int>& observed, double expected_each) {
  double sum = 0;
  for (int o : observed) sum += (o - expected_each) * (o - expected_each) / expected_each;
  return sum;
}

// The clock as it runs, and frozen: every draw in the same millisecond.
class RandomChoice : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    if (GetParam()) platform::FreezeClock(*platform::TextToDateTime("2026/03/07 09:05:01.250"));
  }
  void TearDown() override { platform::UnfreezeClock(); }
};

std::vector<std::string> Numbered(const std::string& prefix, int count) {
  std::vector<std::string> lines;
  for (int i = 0; i < count; ++i) lines.push_back(prefix + std::to_string(i));
  return lines;
}

// Free talk weighs its two objects by the entries each has left (the
// once-only one drains as it goes), and then takes any entry of the drawn
// object with the same chance: the two draws of one turn are independent.
TEST_P(RandomChoice, FreeTalkFollowsTheWeightsAndEveryEntryHasItsChance) {
  constexpr int kFirst = 4000, kSecond = 1000, kBuckets = 10;
  TempDir dir;
  TCharacter character(MakeCharacter(
      dir, {"210", "N", {{"datac1", Numbered("a", kFirst)}, {"datac2", Numbered("b", kSecond)}}}));
  int drawn_first = 0;
  double expected_first = 0, variance = 0;
  std::vector<int> buckets(kBuckets);
  for (int i = 0; i < kDraws; ++i) {
    const double n1 = character.Slot(6).Available();
    const double p = n1 / (n1 + kSecond);
    expected_first += p;
    variance += p * (1 - p);
    const std::u16string answer = character.Talk(u"x", AllSlots);
    ASSERT_FALSE(answer.empty());
    if (answer[0] == u'a') {
      ++drawn_first;
    } else {
      ++buckets[std::stoi(platform::WideToUtf8(answer.substr(1))) * kBuckets / kSecond];
    }
  }
  const double z = (drawn_first - expected_first) / std::sqrt(variance);
  EXPECT_LT(z * z, kChiSquare1) << drawn_first << " draws of the first object, expected "
                                << expected_first;
  const int drawn_second = kDraws - drawn_first;
  EXPECT_LT(ChiSquare(buckets, drawn_second / double(kBuckets)), kChiSquare9)
      << "entries of the second object, in tenths: " << ::testing::PrintToString(buckets);
}

TEST_P(RandomChoice, ChoiceGivesEachItemAThird) {
  TCharacter character;
  std::map<std::u16string, int> seen;
  for (int i = 0; i < kDraws; ++i) ++seen[character.ExpandTags(u"{CHOICEa|b|c}")];
  ASSERT_EQ(seen.size(), 3u);
  std::vector<int> counts;
  for (const auto& [item, count] : seen) counts.push_back(count);
  EXPECT_LT(ChiSquare(counts, kDraws / 3.0), kChiSquare2) << ::testing::PrintToString(counts);
}

INSTANTIATE_TEST_SUITE_P(Clock, RandomChoice, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Frozen" : "Running"; });

}  // namespace
}  // namespace parlevo
