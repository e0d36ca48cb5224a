// The multi-literal search against a plain search of every literal at every
// position: the same hits, in the same order, on random sets shaped to
// reach the automaton's corners (deep failure chains, literals that are
// suffixes and prefixes of others, long literals, many states, every byte).
#include "regex/literal_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace parlevo {
namespace {

using Hits = std::vector<std::pair<int32_t, size_t>>;  // (id, end)

struct Shape {
  std::string alphabet;  // the bytes literals and texts are made of
  int literals;
  size_t min_length, max_length;
  int long_literals;  // of 250 to 400 bytes
};

std::string RandomBytes(std::mt19937& rng, const std::string& alphabet, size_t n) {
  std::string s;
  for (size_t k = 0; k < n; ++k) s += alphabet[rng() % alphabet.size()];
  return s;
}

// Every literal ending at each position, longest first.
Hits Plain(const std::vector<std::string>& literals, const std::vector<int32_t>& ids,
           std::string_view text) {
  Hits hits;
  std::vector<std::pair<size_t, int32_t>> here;  // (length, id)
  for (size_t end = 1; end <= text.size(); ++end) {
    here.clear();
    for (size_t k = 0; k < literals.size(); ++k) {
      const size_t n = literals[k].size();
      if (n <= end && text.substr(end - n, n) == literals[k]) here.emplace_back(n, ids[k]);
    }
    std::sort(here.rbegin(), here.rend());
    here.erase(std::unique(here.begin(), here.end()), here.end());
    for (const auto& [n, id] : here) hits.emplace_back(id, end);
  }
  return hits;
}

TEST(LiteralSearch, HitsAreThePlainSearchs) {
  std::string every_byte;
  for (int b = 0; b < 256; ++b) every_byte += static_cast<char>(b);
  const std::vector<Shape> shapes = {
      {"ab", 40, 1, 9, 0},                     // deep failure chains
      {"\x82\xA0\xA2\x88\x9F", 300, 2, 8, 0},  // two-byte characters sharing lead bytes
      {"xyz\x82", 60, 1, 12, 3},               // long literals: lengths kept beside
      {every_byte, 400, 1, 4, 0},              // a root and first states of 256 edges
      {every_byte, 4000, 20, 40, 0},           // over 65,536 states, wide failure links
  };
  std::mt19937 rng(20);
  int hits_seen = 0;
  for (const Shape& shape : shapes) {
    for (int round = 0; round < 4; ++round) {
      TbmRELiteralSearch search;
      std::vector<std::string> literals;
      std::vector<int32_t> ids;
      std::unordered_map<std::string, int32_t> first_id;
      for (int k = 0; k < shape.literals + shape.long_literals; ++k) {
        const size_t n = k < shape.literals
                             ? shape.min_length + rng() % (shape.max_length - shape.min_length + 1)
                         : k == shape.literals ? 255  // the first that is kept beside
                                               : 250 + rng() % 151;
        literals.push_back(RandomBytes(rng, shape.alphabet, n));
        if (k % 7 == 3) literals.push_back(literals[rng() % literals.size()]);  // again
      }
      for (const std::string& lit : literals) {
        ids.push_back(search.Add(lit));
        const auto [it, added] = first_id.try_emplace(lit, ids.back());
        ASSERT_EQ(it->second, ids.back()) << "the same bytes got two ids";
      }
      search.Build();
      ASSERT_EQ(search.NumLiterals(), static_cast<int32_t>(first_id.size()));
      for (size_t k = 0; k < literals.size(); ++k) {
        ASSERT_EQ(search.Length(ids[k]), static_cast<int32_t>(literals[k].size()));
      }
      for (int t = 0; t < 6; ++t) {
        std::string text = RandomBytes(rng, shape.alphabet, 50 + rng() % 400);
        for (int p = 0; p < 4; ++p) {  // planted literals, overlapping at random
          const std::string& lit = literals[rng() % literals.size()];
          text.insert(rng() % (text.size() + 1), lit);
        }
        const Hits want = Plain(literals, ids, text);
        Hits got;
        search.Scan(text, [&](int32_t id, size_t end) { got.emplace_back(id, end); });
        ASSERT_EQ(got, want) << "shape " << &shape - shapes.data() << " round " << round;
        hits_seen += static_cast<int>(got.size());
        // An on_hit returning false ends the scan at once.
        const size_t stop = want.empty() ? 0 : rng() % want.size();
        Hits until;
        search.Scan(text, [&](int32_t id, size_t end) {
          until.emplace_back(id, end);
          return until.size() <= stop;
        });
        ASSERT_EQ(until, Hits(want.begin(), want.begin() + std::min(want.size(), stop + 1)));
      }
    }
  }
  EXPECT_GT(hits_seen, 5000);
  // Cleared, it starts over with new ids; empty, it finds nothing.
  TbmRELiteralSearch search;
  search.Add("abc");
  search.Build();
  search.Clear();
  EXPECT_EQ(search.Add("bc"), 0);
  search.Build();
  Hits got;
  search.Scan("abcbc", [&](int32_t id, size_t end) { got.emplace_back(id, end); });
  EXPECT_EQ(got, (Hits{{0, 3}, {0, 5}}));
  TbmRELiteralSearch none;
  none.Build();
  none.Scan("abc", [&](int32_t, size_t) { ADD_FAILURE() << "a hit of no literal"; });
}

}  // namespace
}  // namespace parlevo
