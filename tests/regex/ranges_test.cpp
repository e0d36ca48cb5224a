// Range refinement and complement.
#include "regex/ranges.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace parlevo {
namespace {

using Pairs = std::vector<std::pair<int32_t, int32_t>>;

Pairs Records(const TbmREWchRanges& r) {
  Pairs out;
  for (const auto& x : r.Records()) out.push_back({x.Lo, x.Hi});
  return out;
}

TEST(Ranges, AddRangeRefines) {
  struct Case {
    Pairs adds;
    Pairs expected;
  };
  const std::vector<Case> cases = {
      {{{0, 9}, {5, 5}}, {{0, 4}, {5, 5}, {6, 9}}},
      {{{0, 9}, {5, 5}, {5, 5}}, {{0, 4}, {5, 5}, {6, 9}}},
      {{{10, 10}, {13, 13}, {53, 57}, {48, 55}},
       {{10, 10}, {13, 13}, {48, 52}, {53, 55}, {56, 57}}},
      {{{1, 4}, {7, 9}, {3, 8}}, {{1, 2}, {3, 4}, {5, 6}, {7, 8}, {9, 9}}},
      {{{5, 6}, {1, 2}}, {{1, 2}, {5, 6}}},          // gaps stay gaps
      {{{5, 6}, {0, 9}}, {{0, 4}, {5, 6}, {7, 9}}},  // covers a record
      {{{0, 0xFFFF}, {-3, -3}, {-2, -2}}, {{-3, -3}, {-2, -2}, {0, 0xFFFF}}},
      {{{1, 1}, {3, 3}, {5, 5}, {0, 6}}, {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 6}}},
  };
  for (const auto& c : cases) {
    TbmREWchRanges r;
    for (auto [lo, hi] : c.adds) r.AddRange(lo, hi);
    EXPECT_EQ(Records(r), c.expected);
  }
}

TEST(Ranges, NegateAndFind) {
  TbmREWchRanges r;
  r.Negate(0, 0xFFFF);
  EXPECT_EQ(Records(r), (Pairs{{0, 0xFFFF}}));
  r.ClearRanges();
  r.AddNewlines();
  r.AddRange('a', 'a');
  r.Negate(0, 0xFFFF);
  EXPECT_EQ(Records(r), (Pairs{{0, 9}, {11, 12}, {14, 96}, {98, 0xFFFF}}));
  EXPECT_EQ(r.FindRange(0, r.size(), 14, 96), 2u);
  EXPECT_EQ(r.FindRange(0, r.size(), 15, 15), 3u);
  EXPECT_EQ(r.FindRange(0, r.size(), 0x10000, 0x10000), 4u);
  r.ClearRanges();
  r.AddRange(0, 0xFFFF);
  r.Negate(0, 0xFFFF);
  EXPECT_TRUE(r.empty());
}

}  // namespace
}  // namespace parlevo
