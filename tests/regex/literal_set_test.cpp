// Word lists searched as literal sets: every answer (Match from every start,
// Found, the set matcher's) is the automaton's, on random lists small enough
// for the automaton to be built as the reference.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "regex/rexp.h"
#include "regex/rexp_set.h"
#include "regex/search.h"
#include "test_util.h"

namespace parlevo {
namespace {

using testing::Sjis;

// Pieces of words and texts: double-byte characters whose trail byte is an
// ASCII metacharacter or letter (ポ 0x83 0x7C "|", ソ 0x83 0x5C "\", 表 0x95
// 0x5C, ア 0x83 0x41 "A"), a kanji of two lead-valued bytes, ASCII and LF.
const std::vector<std::string>& Pieces() {
  static const std::vector<std::string> pieces = {
      "a", "b", "A", "|", "\\", "\n", Sjis("ポ"), Sjis("ソ"), Sjis("表"), Sjis("ア"), Sjis("噂")};
  return pieces;
}

// A piece as the pattern writes it: ASCII metacharacters and LF escaped.
std::string Escaped(const std::string& piece) {
  if (piece == "\n") return "\\n";
  return piece == "|" || piece == "\\" ? "\\" + piece : piece;
}

struct List {
  std::string pattern;
  std::vector<std::string> words;
};

// 17 to 60 distinct words of 1 to 4 pieces, many of them prefixes of others,
// with or without a group, "^" and "$".
List RandomList(std::mt19937& rng) {
  List list;
  std::vector<std::string> written;
  const size_t count = 17 + rng() % 44;
  while (list.words.size() < count) {
    std::string word, pattern;
    if (!list.words.empty() && rng() % 3 == 0) {  // extend an earlier word
      const size_t k = rng() % list.words.size();
      word = list.words[k];
      pattern = written[k];
    }
    for (int n = 1 + static_cast<int>(rng() % 2); n > 0; --n) {
      const std::string& piece = Pieces()[rng() % Pieces().size()];
      word += piece;
      pattern += Escaped(piece);
    }
    if (std::find(list.words.begin(), list.words.end(), word) != list.words.end()) continue;
    list.words.push_back(word);
    written.push_back(pattern);
  }
  std::string body;
  for (const auto& w : written) body += (body.empty() ? "" : "|") + w;
  const int shape = static_cast<int>(rng() % 5);
  const char* head = shape == 1 || shape == 3 ? "^" : "";
  const char* tail = shape == 2 || shape == 3 ? "$" : "";
  list.pattern = shape == 0 ? body : std::string(head) + "(" + body + ")" + tail;
  return list;
}

std::string RandomText(std::mt19937& rng, const List& list) {
  static const std::vector<std::string> extra = {"\n", "\r", "\r\n", "\x82", "x"};
  std::string text;
  for (int n = static_cast<int>(rng() % 7); n > 0; --n) {
    switch (rng() % 3) {
      case 0:
        text += list.words[rng() % list.words.size()];
        break;
      case 1:
        text += Pieces()[rng() % Pieces().size()];
        break;
      default:
        text += extra[rng() % extra.size()];
    }
  }
  return text;
}

TEST(LiteralSet, AnswersAreTheAutomatons) {
  std::mt19937 rng(2024);
  int matches = 0;
  for (int round = 0; round < 300; ++round) {
    const List list = RandomList(rng);
    TbmRExp re(bmccShiftJIS);
    re.SetPattern(list.pattern);
    ASSERT_TRUE(re.QuickAnswers().LiteralOnly()) << list.pattern;
    ASSERT_GT(re.QuickAnswers().Literals().size(), 16u);
    TbmRExp reference(bmccShiftJIS);
    reference.SetPattern(list.pattern);
    const TbmREDFATable& dfa = reference.GetDFATable();
    for (int k = 0; k < 20; ++k) {
      const std::string text = RandomText(rng, list);
      const auto n = static_cast<int32_t>(text.size());
      for (int32_t from = 1; from <= n + 1; ++from) {
        int32_t pos, len, want_pos, want_len;
        const bool want = bmreSearch(dfa, bmccShiftJIS, text, from - 1, want_pos, want_len);
        ASSERT_EQ(re.Match(text, from, pos, len) != 0, want)
            << "«" << list.pattern << "» in «" << text << "» from " << from;
        if (!want) continue;
        ++matches;
        ASSERT_EQ(pos, want_pos + 1) << "«" << list.pattern << "» in «" << text << "»";
        ASSERT_EQ(len, want_len) << "«" << list.pattern << "» in «" << text << "»";
      }
      int32_t pos, len;
      ASSERT_EQ(re.Found(text), bmreSearch(dfa, bmccShiftJIS, text, 0, pos, len))
          << "«" << list.pattern << "» in «" << text << "»";
    }
  }
  EXPECT_GT(matches, 10000);
}

// The set matcher takes a word list's literals as exact (anchored or not)
// and must find exactly what each pattern's own Found finds.
TEST(LiteralSet, SetMatcherAgreesWithEachPattern) {
  std::mt19937 rng(77);
  std::vector<List> lists;
  std::vector<TbmRExp> patterns;
  for (int i = 0; i < 40; ++i) {
    lists.push_back(RandomList(rng));
    patterns.emplace_back(bmccShiftJIS);
    patterns.back().SetPattern(lists.back().pattern);
  }
  TbmRExpSet set(bmccShiftJIS);
  for (auto& p : patterns) set.Add(&p);
  set.Build();
  std::vector<int32_t> found, each;
  int hits = 0;
  for (int k = 0; k < 400; ++k) {
    const std::string text = RandomText(rng, lists[rng() % lists.size()]);
    set.Find(text, found);
    set.FindEach(text, each);
    ASSERT_EQ(found, each) << "«" << text << "»";
    hits += static_cast<int>(found.size());
  }
  EXPECT_GT(hits, 400);
}

}  // namespace
}  // namespace parlevo
