// A character with no files and a frozen clock, for the tag language tests:
// texts go in and come out as UTF-8.
#ifndef PARLEVO_TESTS_ENGINE_TAG_FIXTURE_H_
#define PARLEVO_TESTS_ENGINE_TAG_FIXTURE_H_

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/character.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/datetime.h"

namespace parlevo {

// {input, expected} for a table of expansions.
struct TExpandCase {
  std::string input;
  std::string expected;
};

class TagTest : public ::testing::Test {
 protected:
  // 2004/03/07 09:05:01, a Sunday.
  void SetUp() override { Freeze({2004, 3, 7, 9, 5, 1, 0}); }
  void TearDown() override { platform::UnfreezeClock(); }

  static void Freeze(const platform::DateTimeParts& parts) {
    platform::FreezeClock(platform::EncodeDateTime(parts));
  }

  std::string Expand(const std::string& utf8) {
    return platform::WideToUtf8(character.ExpandTags(platform::Utf8ToWide(utf8)));
  }

  // Expands every case with the same character, in order.
  void ExpectAll(const std::vector<TExpandCase>& cases) {
    for (const auto& c : cases) EXPECT_EQ(Expand(c.input), c.expected) << "input: " << c.input;
  }

  TCharacter character;
};

}  // namespace parlevo

#endif  // PARLEVO_TESTS_ENGINE_TAG_FIXTURE_H_
