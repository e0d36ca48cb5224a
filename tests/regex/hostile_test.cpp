// Patterns and texts anyone can write: none may crash, hang, exhaust memory
// or report a match beyond the text; and Found always agrees with Match.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <new>
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
  EXPECT_EQ(detail(huge), "compiled");  // searched without its automaton
  TbmRExp re(bmccShiftJIS);
  re.SetPattern(huge);
  try {
    re.GetDFATable();
    ADD_FAILURE() << "the automaton was built";
  } catch (const EbmREToken& e) {
    EXPECT_EQ(e.Detail(), "invalid character (automaton too large)");
  }
  EXPECT_EQ(detail("a)b"), "invalid character");
  EXPECT_EQ(detail("(a"), "need right parenthesis");
}

// A valid pattern whose automaton is over its budgets answers all the same,
// by simulation: leftmost start, longest match.
TEST(Hostile, HugeAutomatonIsSearchedWithoutIt) {
  std::string pattern = "(a|b)*a";
  for (int i = 0; i < 20; ++i) pattern += "(a|b)";
  TbmRExp re(bmccShiftJIS);
  re.SetPattern(pattern);
  EXPECT_FALSE(re.Found("ab"));
  EXPECT_TRUE(re.Simulated());
  const std::string text = "xx" + std::string(10, 'b') + "a" + std::string(20, 'b') + "ab\nb";
  EXPECT_TRUE(re.Found(text));
  int32_t pos = 0, len = 0;
  EXPECT_EQ(re.Match(text, 1, pos, len), 3);
  EXPECT_EQ(len, 31);  // the first b, up to the twentieth letter after the first a
  EXPECT_EQ(re.Match(text, 4, pos, len), 4);
  EXPECT_EQ(len, 30);
  EXPECT_EQ(re.Match(text, 14, pos, len), 0);  // the last a has too few letters after it
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

// A word list of more than 16 words (searched as a literal set), after "^"
// or not.
std::string RandomWordList(std::mt19937& rng) {
  static const std::vector<std::string> pieces = {"a", "b", "A", Sjis("あ"), Sjis("い"), "\\n"};
  std::string out = rng() % 2 ? "^(" : "(";
  for (int i = 0; i < 40; ++i) {
    if (i) out += "|";
    for (int n = 1 + static_cast<int>(rng() % 3); n > 0; --n) out += pieces[rng() % pieces.size()];
  }
  return out + ")";
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
  for (size_t i = 0; i < jobs.size(); ++i) {
    Job& job = jobs[i];
    job.pattern = i % 10 == 0 ? RandomWordList(rng) : RandomPattern(rng);
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

// ---------------------------------------------------------------------------
// Patterns that grew with the square of their size before every structure
// was charged to a budget. Each compiles in a child process whose address
// space allows the program's own mappings plus 64 MiB and a little slack:
// it compiles (and finds what it should) or is refused by a named budget.
// Timings of the same patterns are in bench/regex_bench.cpp (BM_Hostile).

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;  // sanitizers reserve terabytes of address space
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// The address space the process maps now, in bytes.
size_t MappedBytes() {
  std::ifstream statm("/proc/self/statm");
  size_t pages = 0;
  statm >> pages;
  return pages * static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

enum class Outcome { kCompiled = 10, kRefused = 11, kWrongAnswer = 12, kOutOfMemory = 13 };
constexpr Outcome kEither = Outcome{0};  // compiles or is refused, within the limit

// Compiles `pattern` under the memory limit in a child; `text` must be found.
Outcome CompileLimited(const std::string& pattern, const std::string& text) {
  const pid_t child = fork();
  if (child == 0) {
    TbmRExp re(bmccShiftJIS);
    re.SetPattern(pattern);
    constexpr size_t kSlack = size_t{24} << 20;  // the search's own tables, stacks
    const rlim_t limit = MappedBytes() + (size_t{64} << 20) + kSlack;
    rlimit as{limit, limit};
    setrlimit(RLIMIT_AS, &as);
    Outcome outcome;
    try {
      outcome = re.Found(text) ? Outcome::kCompiled : Outcome::kWrongAnswer;
    } catch (const EbmREToken& e) {
      outcome = e.Budget.empty() ? Outcome::kWrongAnswer : Outcome::kRefused;
      std::fprintf(stderr, "refused: %s\n", e.Detail().c_str());
    } catch (const std::bad_alloc&) {
      outcome = Outcome::kOutOfMemory;
    }
    _exit(static_cast<int>(outcome));
  }
  int status = 0;
  waitpid(child, &status, 0);
  if (!WIFEXITED(status)) return Outcome::kOutOfMemory;
  return static_cast<Outcome>(WEXITSTATUS(status));
}

std::string Alternation(int words, const std::string& stem) {
  std::string out;
  for (int i = 0; i < words; ++i) out += (i ? "|" : "") + stem + std::to_string(i);
  return out;
}

TEST(Hostile, LargeClassesAndAlternationsStayWithinTheirBudgets) {
  if (kSanitized) GTEST_SKIP() << "address space limits do not mix with sanitizers";
  std::string wide_class = "[";  // 30,000 members, no two neighbours
  for (int32_t c = 0x8140, n = 0; n < 30000; c += 2, ++n) {
    char escape[8];
    std::snprintf(escape, sizeof escape, "\\x%04X", c);
    wide_class += escape;
  }
  wide_class += "]";
  struct Case {
    const char* what;
    std::string pattern, text;
    Outcome outcome;
  };
  const std::vector<Case> cases = {
      {"a class of 30,000 members", "[" + std::string(30000, 'a') + "]", "xa", Outcome::kCompiled},
      {"a class of 60,000 members", "[" + std::string(60000, 'a') + "]", "xa", Outcome::kCompiled},
      {"a class of 30,000 distinct members", wide_class, "x\x81\x40", Outcome::kCompiled},
      {"a|a|... 24,000 times",
       "a" +
           [] {
             std::string s;
             for (int i = 1; i < 24000; ++i) s += "|a";
             return s;
           }(),
       "xa", Outcome::kCompiled},
      {"5,000 words", Alternation(5000, "word"), "a word4999!", Outcome::kCompiled},
      {"5,000 words after an anchor", "^(" + Alternation(5000, "w") + ")", "w4999",
       Outcome::kCompiled},
      {"24,000 words", Alternation(24000, "w"), "say w12345!", Outcome::kCompiled},
      {"48,000 words", Alternation(48000, "w"), "w47999", Outcome::kCompiled},
      {"48,000 words between anchors", "^(" + Alternation(48000, "w") + ")$", "x\nw47999",
       Outcome::kCompiled},
      {"(w0|...|w999)*x", "(" + Alternation(1000, "w") + ")*x", "w1w2x", kEither},
      {"a 50 MB line", std::string(50'000'000, 'a'), "a", Outcome::kRefused},
      {"an exploding automaton",
       "(a|b)*a" +
           [] {
             std::string s;
             for (int i = 0; i < 20; ++i) s += "(a|b)";
             return s;
           }(),
       "ba" + std::string(20, 'b'), Outcome::kCompiled},  // searched without the automaton
  };
  for (const Case& c : cases) {
    const Outcome outcome = CompileLimited(c.pattern, c.text);
    if (c.outcome == kEither) {
      EXPECT_TRUE(outcome == Outcome::kCompiled || outcome == Outcome::kRefused) << c.what;
    } else {
      EXPECT_EQ(outcome, c.outcome) << c.what;
    }
  }
}

}  // namespace
}  // namespace parlevo
