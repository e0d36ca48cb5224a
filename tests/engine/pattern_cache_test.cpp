// LIKE's pattern cache: the same answers as a fresh matcher, asked again and
// again, with malformed patterns, and past its size bound.
#include "engine/pattern_cache.h"

#include <gtest/gtest.h>

#include <string>

namespace parlevo {
namespace {

TEST(PatternCache, AnswersStayRightWhileItFillsAndStartsAfresh) {
  TPatternCache cache;
  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < 200; ++i) {
      const std::string pattern = "w" + std::to_string(i) + "x";
      EXPECT_TRUE(cache.Found(pattern, "a w" + std::to_string(i) + "x b"));
      EXPECT_FALSE(cache.Found(pattern, "w" + std::to_string(i)));
      EXPECT_LE(cache.size(), kMaxCachedPatterns);
    }
    EXPECT_FALSE(cache.Found("[ab", "ab"));  // malformed: never found, asked twice
    EXPECT_FALSE(cache.Found("[ab", "[ab"));
  }
}

}  // namespace
}  // namespace parlevo
