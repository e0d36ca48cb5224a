// Patterns and texts anyone can write: none may crash, hang, exhaust memory
// or report a match beyond the text; and Found always agrees with Match.
#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "regex/rexp.h"
#include "regex/search.h"
#include "test_util.h"

namespace parlevo {
namespace {

using testing::Sjis;

TEST(Hostile, DeepNestingIsRefusedNotOverflowed) {
  for (int depth : {1000, 100000}) {
    TbmRExp re(bmccShiftJIS);
    re.SetPattern(std::string(depth, '(') + "a" + std::string(depth, ')'));
    EXPECT_THROW(re.Found("a"), EbmREToken) << depth;
  }
  TbmRExp re(bmccShiftJIS);
  re.SetPattern(std::string(150, '(') + "a" + std::string(150, ')'));
  EXPECT_TRUE(re.Found("xa"));
}

// An author sees which budget refused a pattern; a plain syntax error keeps
// the kind's name alone.
TEST(Hostile, RefusalsNameTheirBudget) {
  auto detail = [](const std::string& pattern) {
    TbmRExp re(bmccShiftJIS);
    re.SetPattern(pattern);
    try {
      re.Found("");
    } catch (const EbmREToken& e) {
      return e.Detail();
    }
    return std::string("compiled");
  };
  EXPECT_EQ(detail(std::string(300, '(') + std::string(300, ')')),
            "invalid character (groups nested deeper than 200)");
  std::string huge = "(a|b)*a";
  for (int i = 0; i < 20; ++i) huge += "(a|b)";
  EXPECT_EQ(detail(huge), "invalid character (automaton too large)");
  EXPECT_EQ(detail("a)b"), "invalid character");
  EXPECT_EQ(detail("(a"), "need right parenthesis");
}

TEST(Hostile, HugeAutomatonIsRefusedLikeAMalformedPattern) {
  std::string pattern = "(a|b)*a";
  for (int i = 0; i < 20; ++i) pattern += "(a|b)";
  TbmRExp re(bmccShiftJIS);
  re.SetPattern(pattern);
  EXPECT_THROW(re.Found("ab"), EbmREToken);
  // Smaller ones of the same family still work.
  pattern = "(a|b)*a(a|b)(a|b)(a|b)(a|b)(a|b)(a|b)(a|b)(a|b)";
  re.SetPattern(pattern);
  EXPECT_TRUE(re.Found("bbbabbbbbbbb"));
  EXPECT_FALSE(re.Found("bbbbbbbb"));
}

TEST(Hostile, NoMatchEndsBeyondTheText) {
  // Texts and patterns ending in a lone lead byte: it reads as one
  // character (lead * 256) that covers one byte only.
  struct Case {
    std::string pattern, text;
    int32_t from, pos, len;
  };
  const std::vector<Case> cases = {
      {"$", "a\x82", 1, 3, 0},       {"\x82", "a\x82", 1, 2, 1}, {"\\x8200", "a\x82", 1, 2, 1},
      {".", "a\x82", 2, 2, 1},       {".$", "a\x82", 1, 2, 1},   {"a.*", "a\x82", 1, 1, 2},
      {"\x82", "\x82\x41", 1, 0, 0},
  };
  for (const auto& c : cases) {
    TbmRExp re(bmccShiftJIS);
    re.SetPattern(c.pattern);
    int32_t pos, len;
    EXPECT_EQ(re.Match(c.text, c.from, pos, len), c.pos) << c.pattern;
    EXPECT_EQ(len, c.len) << c.pattern;
    EXPECT_EQ(re.Found(c.text), c.from == 1 ? c.pos != 0 : re.Found(c.text)) << c.pattern;
  }
}

// Random patterns over a small alphabet that exercises every construct,
// double-byte characters and line breaks included.
std::string RandomPattern(std::mt19937& rng) {
  static const std::vector<std::string> atoms = {
      "a", "b", "\\n", "\\r", ".", "[ab]", "[^a]", Sjis("あ"), Sjis("[ぁ-ん]"), "A", "\\x8341"};
  std::string out;
  int depth = 0;
  int length = 1 + static_cast<int>(rng() % 8);
  for (int i = 0; i < length; ++i) {
    switch (rng() % 12) {
      case 0:
        out += "^";
        break;
      case 1:
        out += "$";
        break;
      case 2:
        out += "(";
        ++depth;
        break;
      case 3:
        if (depth > 0) {
          out += ")";
          --depth;
        }
        break;
      case 4:
        out += "|";
        break;
      default:
        out += atoms[rng() % atoms.size()];
    }
    if (!out.empty() && out.back() != '(' && out.back() != '|' && rng() % 4 == 0) {
      out += "*+?"[rng() % 3];
    }
  }
  while (depth-- > 0) out += ")";
  return out;
}

std::string RandomText(std::mt19937& rng) {
  static const std::vector<std::string> pieces = {"a",        "b",        "\n",       "\r", "\r\n",
                                                  Sjis("あ"), Sjis("い"), "\x83\x41", "A",  "\x82"};
  std::string out;
  int length = static_cast<int>(rng() % 8);
  for (int i = 0; i < length; ++i) out += pieces[rng() % pieces.size()];
  return out;
}

// Match and Found must agree with the plain automaton search (no prefilter,
// no literal shortcut) for every start position.
void ExpectAgreesWithPlainSearch(TbmRExp& re, const std::string& text) {
  const int32_t n = static_cast<int32_t>(text.size());
  for (int32_t from = 1; from <= n + 1; ++from) {
    int32_t pos = 0, len = 0, raw_pos, raw_len;
    int32_t result = re.Match(text, from, pos, len);
    bool raw = bmreSearch(re.GetDFATable(), bmccShiftJIS, text, from - 1, raw_pos, raw_len);
    ASSERT_EQ(result != 0, raw) << "«" << re.Pattern() << "» on «" << text << "» from " << from;
    if (raw) {
      ASSERT_EQ(pos, raw_pos + 1) << "«" << re.Pattern() << "» on «" << text << "»";
      ASSERT_EQ(len, raw_len) << "«" << re.Pattern() << "» on «" << text << "»";
      ASSERT_LE(pos - 1 + len, n);
    }
    if (from == 1) {
      ASSERT_EQ(re.Found(text), raw) << "«" << re.Pattern() << "» on «" << text << "»";
    }
  }
}

TEST(Hostile, FoundAndMatchAgreeWithThePlainSearch) {
  std::mt19937 rng(12345);
  int compiled = 0;
  for (int i = 0; i < 3000; ++i) {
    TbmRExp re(bmccShiftJIS);
    re.SetPattern(RandomPattern(rng));
    for (int j = 0; j < 8; ++j) {
      std::string text = RandomText(rng);
      try {
        ExpectAgreesWithPlainSearch(re, text);
        ++compiled;
      } catch (const EbmREToken&) {
        EXPECT_THROW(re.Found(text), EbmREToken);
      }
    }
  }
  EXPECT_GT(compiled, 10000);
}

TEST(Hostile, ManyPatternsAskedAboutOneText) {
  // Literal patterns, as most personality entries are, asked in turn about
  // the same texts (the per-thread summary of the last text answers first).
  std::mt19937 rng(99);
  static const std::vector<std::string> words = {
      "a", "ab", "b", "ba", "A", "\\x8341", Sjis("あ"), Sjis("あい"), "\\x82", "[ab]"};
  std::vector<TbmRExp> matchers;
  for (int i = 0; i < 200; ++i) {
    std::string p = words[rng() % words.size()];
    for (int k = rng() % 3; k > 0; --k) p += (rng() % 2 ? "|" : "") + words[rng() % words.size()];
    matchers.emplace_back(bmccShiftJIS);
    matchers.back().SetPattern(p);
  }
  for (int t = 0; t < 40; ++t) {
    std::string text = RandomText(rng) + RandomText(rng);
    for (int round = 0; round < 2; ++round) {
      for (auto& re : matchers) ExpectAgreesWithPlainSearch(re, text);
    }
  }
}

TEST(Hostile, OnePassAutomatonOverBudgetFallsBackToTheSearch) {
  // Small for the search (one start at a time), 2^11 states for "found
  // anywhere?", which then answers by the search.
  std::string pattern = "a";
  for (int i = 0; i < 10; ++i) pattern += "(a|b)";
  TbmRExp re(bmccShiftJIS);
  re.SetPattern(pattern);
  std::mt19937 rng(5);
  for (int i = 0; i < 200; ++i) {
    std::string text;
    for (int k = rng() % 24; k > 0; --k) text += "ab\n"[rng() % 3];
    ExpectAgreesWithPlainSearch(re, text);
  }
  ExpectAgreesWithPlainSearch(re, "bbbaabababababbb");
}

// Several threads compile and match at once; each must see exactly the
// answers a single thread sees.
TEST(Hostile, ConcurrentCompileAndMatchOnManyThreads) {
  std::mt19937 rng(777);
  struct Job {
    std::string pattern, text;
    int32_t pos = 0, len = 0;
    bool error = false;
  };
  std::vector<Job> jobs(400);
  for (auto& job : jobs) {
    job.pattern = RandomPattern(rng);
    job.text = RandomText(rng) + RandomText(rng);
    TbmRExp re(bmccShiftJIS);
    re.SetPattern(job.pattern);
    try {
      re.Match(job.text, 1, job.pos, job.len);
    } catch (const EbmREToken&) {
      job.error = true;
    }
  }
  // Compiled matchers shared by every thread: Match and Found only read them.
  std::vector<TbmRExp> shared;
  for (const auto& job : jobs) {
    shared.emplace_back(bmccShiftJIS);
    shared.back().SetPattern(job.pattern);
    int32_t pos, len;
    try {
      shared.back().Match("", 1, pos, len);
    } catch (const EbmREToken&) {
    }
  }
  std::atomic<int> mismatches{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&jobs, &shared, &mismatches, t] {
      for (size_t i = 0; i < jobs.size(); ++i) {
        const Job& job = jobs[(i * 7 + t) % jobs.size()];
        TbmRExp& re = shared[(i * 7 + t) % jobs.size()];
        if (job.error) continue;
        int32_t pos = 0, len = 0;
        re.Match(job.text, 1, pos, len);
        if (pos != job.pos || len != job.len || re.Found(job.text) != (job.pos != 0)) ++mismatches;
      }
      for (int round = 0; round < 5; ++round) {
        for (size_t i = t; i < jobs.size() + t; ++i) {
          const Job& job = jobs[i % jobs.size()];
          TbmRExp re(bmccShiftJIS);
          re.SetPattern(job.pattern);
          int32_t pos = 0, len = 0;
          bool error = false;
          try {
            re.Match(job.text, 1, pos, len);
          } catch (const EbmREToken&) {
            error = true;
          }
          if (error != job.error || pos != job.pos || len != job.len) ++mismatches;
        }
      }
    });
  }
  for (auto& th : threads) th.join();
  EXPECT_EQ(mismatches.load(), 0);
}

}  // namespace
}  // namespace parlevo
