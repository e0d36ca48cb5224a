// The set matcher against the per-pattern loop it replaces: the same indexes
// for random pattern sets and texts full of double-byte characters whose
// trail byte is an ASCII metacharacter, lone lead bytes, anchors and classes.
#include "regex/rexp_set.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "regex/match_budget.h"
#include "regex/rexp.h"
#include "regex/set_shapes.h"
#include "test_util.h"

namespace parlevo {
namespace {

using testing::Sjis;

// Patterns and the set that holds them, in Shift JIS.
class PatternSet {
 public:
  // With a budget, the patterns and the set search under it, as a
  // character's do. With `share`, a repeated text is added as the same
  // object (as a loader's cache gives it), and the set is built twice, so
  // that the second build analyses every pattern again. With `release`, the
  // patterns the set decides give back their compiled state as it builds.
  explicit PatternSet(const std::vector<std::string>& patterns,
                      std::shared_ptr<TbmREMatchBudget> budget = nullptr, bool share = false,
                      bool release = false)
      : set_(bmccShiftJIS) {
    set_.SetReleaseDecided(release);
    std::map<std::string, TbmRExp*> made;
    for (const auto& p : patterns) {
      TbmRExp*& matcher = made[p];
      if (!share || !matcher) {
        matchers_.push_back(std::make_unique<TbmRExp>(bmccShiftJIS));
        matchers_.back()->SetPattern(p);
        if (budget) matchers_.back()->SetBudget(budget);
        matcher = matchers_.back().get();
      }
      set_.Add(matcher);
    }
    if (budget) set_.SetBudget(budget);
    set_.Build();
    if (share) set_.Build();
  }
  std::vector<int32_t> Find(const std::string& text) {
    std::vector<int32_t> found;
    set_.Find(text, found);
    return found;
  }
  std::vector<int32_t> FindEach(const std::string& text) {
    std::vector<int32_t> found;
    set_.FindEach(text, found);
    return found;
  }

 private:
  std::vector<std::unique_ptr<TbmRExp>> matchers_;
  TbmRExpSet set_;
};

TEST(PatternSetFind, AnswersLikeEachPattern) {
  PatternSet set({Sjis("こんにちは"), "abc", Sjis("(ポ|ソ)x"), "^ab", "c$", "a.c", "[0-9]+", "(",
                  "", Sjis("表"), "x*", Sjis("[ア-ン]ー")});
  struct Case {
    std::string text;
    std::vector<int32_t> found;
  };
  const std::vector<Case> cases = {
      {Sjis("やあこんにちは"), {0, 8, 10}},
      {"xabc", {1, 4, 5, 8, 10}},
      {"abc", {1, 3, 4, 5, 8, 10}},
      {Sjis("ポx"), {2, 8, 10}},
      // "ソ" is 0x83 0x5C and "表" 0x95 0x5C: the 0x5C inside neither is the other.
      {Sjis("ソ"), {8, 10}},
      {Sjis("表"), {8, 9, 10}},
      // The trail byte of "ア" (0x83 0x41) is "A", not an ASCII match.
      {Sjis("アー12"), {6, 8, 10, 11}},
      {"ab\x82", {3, 8, 10}},
      {"", {8, 10}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(set.FindEach(c.text), c.found);
    EXPECT_EQ(set.Find(c.text), c.found);
  }
}

// Random pieces of patterns and texts over one small alphabet, so that
// patterns often match and often nearly match.
class RandomCorpus {
 public:
  explicit RandomCorpus(uint32_t seed) : rng_(seed) {}

  std::string Pattern() {
    if (Chance(40)) return Shape();
    std::string p;
    const int atoms = Pick(1, 5);
    if (Chance(10)) p += "^";
    for (int i = 0; i < atoms; ++i) {
      switch (Pick(0, 9)) {
        case 0:
          p += ".";
          break;
        case 1:
          p += Pick(Classes());
          break;
        case 2:
          p += "(" + Char() + "|" + Char() + Char() + ")";
          break;
        default:
          p += Char();
          break;
      }
      if (Chance(15)) p += Pick(std::vector<std::string>{"*", "+", "?"});
    }
    if (Chance(10)) p += "$";
    if (Chance(3)) p += Pick(std::vector<std::string>{"(", "[", "\x82", ")"});  // malformed or odd
    return p;
  }

  // The shapes a set decides from where its literals stand ("A.*B" on one
  // line, digits next to a literal), anchored or not, and near misses.
  std::string Shape() {
    const std::string a = Literal(), b = Literal();
    const std::string head = Chance(20) ? "^" : "", tail = Chance(20) ? "$" : "";
    const std::string star = Pick(std::vector<std::string>{".*", "[0-9]*"});
    switch (Pick(0, 5)) {
      case 0:
        return head + a + Pick(std::vector<std::string>{"[0-9]+", "[0-9]*"}) + b + tail;
      case 1:
        return head + a + ".*" + b + tail;
      case 2:
        return head + a + "[0-9]+" + tail;
      case 3:
        return head + Pick(Befores()) + a + tail;
      case 4:
        return head + a + star + tail;
      default:
        return head + star + a + Pick(std::vector<std::string>{"", ".*", "[0-9]+"}) + tail;
    }
  }

  // Few words spelt in several ways ("(a|b).*c", "(b|a).*c", "(a).*c"), so
  // that many pattern texts are decided alike by the same hits.
  std::string Crowded() {
    static const std::vector<std::string> words = {"a", "b", Sjis("ポ"), Sjis("表")};
    auto word = [&] {
      const std::string w = Pick(words);
      return Chance(30) ? "(" + w + ")" : w;
    };
    auto either = [&] {
      const std::string x = Pick(words), y = Pick(words);
      return Chance(50) ? "(" + x + "|" + y + ")" : "(" + y + "|" + x + ")";
    };
    const std::string a = Chance(50) ? word() : either();
    const std::string b =
        word() + (Chance(30) ? "[0-9]" + Pick(std::vector<std::string>{"", "1"}) : "");
    const std::string head = Chance(15) ? "^" : "", tail = Chance(15) ? "$" : "";
    switch (Pick(0, 5)) {
      case 0:
        return head + a + ".*" + b + tail;
      case 1:
        return head + a + Pick(std::vector<std::string>{"[0-9]+", "[0-9]*"}) + b + tail;
      case 2:
        return head + a + "[0-9]+" + tail;
      case 3:
        return head + Pick(std::vector<std::string>{"[0-9]+", "[ab]+", "[0-9][0-9]", "[A-Z]"}) + b +
               tail;
      case 4:
        return head + a + tail;
      default:
        return head + a + "x?" + b + tail;  // verified after a hit
    }
  }

  std::string Text() {
    std::string t;
    const int chars = Pick(0, 12);
    for (int i = 0; i < chars; ++i) {
      if (Chance(5)) t += "\x82";  // a lone lead byte: joins the next byte
      if (Chance(8)) t += Pick(std::vector<std::string>{"\n", "\r", "\r\n"});
      t += Char();
    }
    return t;
  }

 private:
  // One or two characters, or two alternatives; at times with a break.
  std::string Literal() {
    if (Chance(25)) return "(" + Char() + "|" + Char() + Char() + ")";
    std::string literal = Char() + (Chance(40) ? Char() : "") + (Chance(5) ? "\\n" : "");
    while (Chance(20)) literal += "[0-9]" + (Chance(50) ? Char() : "");  // digits after it
    return literal;
  }
  // "A" is the trail byte of "ア", and a lone lead byte in a text takes a digit.
  std::string Char() {
    static const std::vector<std::string> chars = {
        "a", "b", "c",        "|",        "[",        "\\",       "1",        "2",
        "A", "x", Sjis("ポ"), Sjis("ソ"), Sjis("表"), Sjis("ー"), Sjis("あ"), Sjis("ア")};
    std::string c = Pick(chars);
    if (c == "|" || c == "[" || c == "\\") c = "\\" + c;
    return c;
  }
  // Classes before a literal: once, runs, and runs that could take the
  // class next to them ("A" is a trail byte, as above).
  static const std::vector<std::string>& Befores() {
    static const std::vector<std::string> befores = {
        "[0-9]+",         "[a-c]+",           "[ab1]+",      "[A-Z]",
        "[0-9][0-9]",     "[A-Z][a-z]+",      "[a-z]+[a-c]", "[0-9]+[0-9]",
        "[A-Za-z]+[0-9]", "[0-9a-f][0-9a-f]", "b[A-Z]+",     "[a-c][A-Z]"};
    return befores;
  }
  static const std::vector<std::string>& Classes() {
    static const std::vector<std::string> classes = {"[a-c]",       "[^a]",  Sjis("[ア-ン]"),
                                                     Sjis("[^ポ]"), "[0-9]", Sjis("[ソ表]")};
    return classes;
  }
  int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
  bool Chance(int percent) { return Pick(0, 99) < percent; }
  std::string Pick(const std::vector<std::string>& from) {
    return from[static_cast<size_t>(Pick(0, static_cast<int>(from.size()) - 1))];
  }

  std::mt19937 rng_;
};

// Also under budgets from far too small (states dropped mid-search, the
// combined run of the candidates finishing by simulation or giving up) to
// ample, on short texts and on long ones made of several, each asked twice
// (the second time over states built by the first). Every other round the
// set's decided patterns give back their compiled state, and the loop asks
// a second set's own patterns, so that those asked alone (a shape's hit that
// the scan cannot decide) compile again within the set.
TEST(PatternSetFind, RandomSetsAnswerLikeTheLoop) {
  RandomCorpus corpus(20261207);
  const size_t budgets[] = {0, 2000, 30000, size_t{1} << 20};
  for (int round = 0; round < 60; ++round) {
    // Every fifth round is crowded: hundreds of patterns over a few words.
    const bool crowded = round % 5 == 4;
    std::vector<std::string> patterns;
    for (int i = 0; i < (crowded ? 400 : 80); ++i) {
      // Personalities repeat patterns: a fifth are copies of an earlier one.
      const bool copy = i > 0 && (i + round) % 5 == 0;
      patterns.push_back(copy      ? patterns[static_cast<size_t>((i * 7 + round) % i)]
                         : crowded ? corpus.Crowded()
                                   : corpus.Pattern());
    }
    const size_t limit = budgets[round % 4];
    auto budget = limit ? std::make_shared<TbmREMatchBudget>(limit) : nullptr;
    PatternSet set(patterns, budget, round % 3 == 1, round % 2 == 0);
    PatternSet each(patterns, budget, round % 3 == 1);
    for (int i = 0; i < 80; ++i) {
      std::string text = corpus.Text();
      for (int more = i % 8 == 0 ? 40 : 0; more > 0; --more) text += corpus.Text();
      for (int again = 0; again < 2; ++again) {
        ASSERT_EQ(set.Find(text), each.FindEach(text))
            << "round " << round << " budget " << limit << " text «" << text << "»";
      }
    }
    if (budget) {
      EXPECT_LE(budget->Used(), budget->Limit());
    }
  }
}

// The shapes a set decides without an automaton are recognised where they
// apply and only there (every other pattern stays one that is verified); a
// negated class, like '.', never takes a break.
// Texts with hundreds of candidates each, different from text to text, so
// that the candidates verified together outgrow what is held of them and are
// dropped for the next text's; each text asked twice, under a budget and not.
TEST(PatternSetFind, ManyCandidatesOverManyTextsAnswerLikeTheLoop) {
  std::vector<std::string> patterns;
  for (int k = 0; k < 1500; ++k) {
    patterns.push_back("x" + std::to_string(k) + (k % 3 ? "[ab]+c" : "(ab|b)*a$"));
  }
  std::mt19937 rng(2026);
  for (const size_t limit : {size_t{0}, size_t{1} << 20}) {
    auto budget = limit ? std::make_shared<TbmREMatchBudget>(limit) : nullptr;
    PatternSet set(patterns, budget);
    for (int round = 0; round < 8; ++round) {
      std::string text;
      for (int i = 0; i < 400; ++i) {
        text += "x" + std::to_string(rng() % 1500);
        for (int n = static_cast<int>(rng() % 4); n > 0; --n) text += "abc\n"[rng() % 4];
      }
      for (int again = 0; again < 2; ++again) {
        ASSERT_EQ(set.Find(text), set.FindEach(text)) << "round " << round << " budget " << limit;
      }
    }
  }
}

// Candidates are verified from where their literal's first hit lets a match
// start, not from byte 0: long texts whose hits come late, patterns whose
// literal stands after classes, dots, options and anchors (a bounded way
// from the start or not), hits inside double-byte characters and across
// line breaks, under budgets from far too small to ample (the middle ones
// hold the whole set's positions but not its states, which are dropped
// mid-text); each text asked twice, the second time over the states the
// first built.
TEST(PatternSetFind, LateHitsInLongTextsAnswerLikeTheLoop) {
  const std::vector<std::string> patterns = {"[a-c].q1",
                                             "(a|bb)?.q2",
                                             "^.q3",
                                             "q4.$",
                                             Sjis("[ア-ン]?q5表"),
                                             "[ab]+q6",
                                             "q7.*y",
                                             "^(a|" + Sjis("表") + ")q8",
                                             "..q9[0-9]",
                                             ".\\nq10",
                                             Sjis("表.q11"),
                                             "a?b?c?q12",
                                             "q13",
                                             "(q14|x.q15)b",
                                             "[^a]q16",
                                             "^q17"};
  const std::vector<std::string> plants = {"aq1",          "bbq2", "xq3", "q4x",    Sjis("アq5表"),
                                           "abq6",         "q7ay", "aq8", "abq91",  "a\nq10",
                                           Sjis("表xq11"), "cq12", "q13", "xyq15b", "bq16",
                                           "q17",          "q1",   "q5",  "q9"};
  const std::vector<std::string> filler = {
      "a", "b", "c", "x", "y", "1", "\n", "\r\n", "\x82", Sjis("表"), Sjis("ア"), Sjis("ポ"), "q"};
  std::mt19937 rng(20261208);
  auto pick = [&rng](const std::vector<std::string>& from) { return from[rng() % from.size()]; };
  for (const size_t limit :
       {size_t{0}, size_t{700}, size_t{2000}, size_t{56000}, size_t{70000}, size_t{1} << 20}) {
    auto budget = limit ? std::make_shared<TbmREMatchBudget>(limit) : nullptr;
    PatternSet set(patterns, budget);
    for (int round = 0; round < 60; ++round) {
      std::string text;
      const size_t bytes = 64 + rng() % 1500;
      while (text.size() < bytes) {
        // Plants get likelier towards the end: most hits come late.
        text += rng() % bytes < text.size() / 8 ? pick(plants) : pick(filler);
      }
      for (int again = 0; again < 2; ++again) {
        ASSERT_EQ(set.Find(text), set.FindEach(text))
            << "round " << round << " budget " << limit << " text «" << text << "»";
      }
    }
  }
}

TEST(PatternSetFind, ShapesAreRecognisedOnlyWhereTheyApply) {
  using Kind = TbmRESetShape::Kind;
  const std::vector<std::pair<Kind, std::vector<std::string>>> cases = {
      {Kind::kPair, {Sjis("天気.*猫##3"), "^(ab|c).*d$", "a\\n.*b", "a[^\\n]*b", "a(b.*c)"}},
      {Kind::kPair, {"a.*b\\n", Sjis("天気.*猫[0-9][0-9]3"), "a.*b[0-9]x[0-9]$"}},
      {Kind::kLiteral, {Sjis("猫[0-9][0-9]3"), "a[0-9]"}},
      {Kind::kDigitsPair, {"a[0-9]+b", "^a[0-9]+(b|c)$"}},
      {Kind::kDigitsOrNonePair, {"a[0-9]*b"}},
      {Kind::kDigitAfter, {"a[0-9]+", "^a[0-9]+", "a[0-9]+$"}},
      {Kind::kRunBefore,
       {"[0-9]+a$", "^[0-9]+a", "[a-z]+work", "^[a-c]+x", "[0-9][0-9]x", "[A-Z][a-z]+xx",
        "^[A-Z][0-9]+a$", "[0-9]+[0-9]a", "[0-9]a1", "[0-9a-f][0-9a-f]xab", "x[a-z]+y",
        "[a-c][A-Z]x", "[A-Z]a[A-Z]x"}},
      {Kind::kLiteral, {".*a.*", "a[0-9][0-9]*"}},
      {Kind::kNone,
       {"a[^x]*b", "a.*b[0-9](c|d)", "a.*[0-9]b", "a.+b", "a?.*b", "[a-z].*b", "[^a]+x", "[a\\n]+x",
        "a[0-9]+.b", "^.*a", "a.*$", "a\\x8200.*b", "a*.*b", "[A-Z]ab[A-Z]x", "[A-Z]*x",
        "[A-Z][A-Z][A-Z][A-Z][A-Z][A-Z][A-Z][A-Z][A-Z]x", "ab[A-Z]+x",
        "[A-Z]" + Sjis("[ア-ン]") + "x"}}};
  for (const auto& [kind, patterns] : cases) {
    for (const std::string& pattern : patterns) {
      SCOPED_TRACE(pattern);
      TbmRExp matcher(bmccShiftJIS);
      matcher.SetPattern(pattern);
      TbmRESetShape shape;
      matcher.VisitTree(
          [&](const TbmRETree& tree) { shape = RecognizeSetShape(tree, bmccShiftJIS); });
      EXPECT_EQ(shape.kind, kind);
      // The cheap look before the parse must not pass a shape over.
      EXPECT_TRUE(kind == Kind::kNone || MayHaveSetShape(pattern));
    }
  }
}

// The second literal of a pair may hold the first one and separators, so
// that the first ends again in later lines or digit runs before the second
// is seen (past the few kept, the pattern's automaton answers); digits after
// the last literal come before its "$"; runs of a class before or after it.
TEST(PatternSetFind, PairsWhoseSecondLiteralHoldsTheFirst) {
  PatternSet set({"a.*b\\na\\na\\na\\na\\na", "a.*b\\na\\na", "a[0-9]+bxaxaxaxaxa", "a[0-9]*bxaxa",
                  "^a.*b\\na\\na\\na\\na\\na", "a.*b[0-9]$", "b[0-9][0-9]x$"});
  for (const std::string text : {"ab\na\na\na\na\na", "xb\na\na\na\na\na", "a\nab\na\na\na\na\na",
                                 "ab\na\na", "a1bxaxaxaxaxa", "abxaxaxaxaxa", "a12bxaxa", "abxaxa",
                                 "a1\x82"
                                 "1bxaxa",
                                 "ab1", "ab1x", "ab12", "b12x\n", "b12xy", "b1"}) {
    SCOPED_TRACE(text);
    EXPECT_EQ(set.Find(text), set.FindEach(text));
  }
  // Runs longer than the set walks are left to the patterns themselves.
  PatternSet runs({"^[0-9]+a", "a[0-9]+$", "^[a-c]+x", "[A-Z][a-z]+x", "^[A-Z][0-9]+a"});
  const std::string digits(70, '7'), letters(70, 'b');
  for (const std::string& text :
       {"\n" + digits + "a", "x" + digits + "a", "a" + digits, "a" + digits + "x", letters + "x",
        "\x82" + letters + "x", "Q" + letters + "x", "\nQ" + digits + "a", Sjis("ア") + "bx"}) {
    EXPECT_EQ(runs.Find(text), runs.FindEach(text));
  }
}

// A declared text shares one summary among the patterns asked about it;
// other texts asked meanwhile, and declarations inside declarations, must not
// lend it theirs.
TEST(PatternSetFind, DeclaredTextsKeepTheirOwnSummary) {
  TbmRExp hello(bmccShiftJIS), bye(bmccShiftJIS);
  hello.SetPattern("hello|hullo");
  bye.SetPattern("bye|ciao");
  const std::string a = "well hello there", b = "ciao then", c = "nothing";
  TbmRESameText same_a(a);
  for (int round = 0; round < 3; ++round) {
    EXPECT_TRUE(hello.Found(a));
    EXPECT_FALSE(bye.Found(a));
    EXPECT_TRUE(bye.Found(b));
    EXPECT_TRUE(bye.Found(b));
    {
      TbmRESameText same_b(b);
      EXPECT_TRUE(bye.Found(b));
      EXPECT_FALSE(hello.Found(b));
      EXPECT_TRUE(hello.Found(a));
      TbmRESameText same_c(c);
      EXPECT_FALSE(hello.Found(c));
    }
    EXPECT_TRUE(hello.Found(a));
    EXPECT_FALSE(hello.Found(c));
  }
}

// A set that analyses its patterns as they are added keeps what it learns
// until it is built: lists of hundreds of words, literals of hundreds of
// bytes, classes before a literal, digits after one, a second set, patterns
// it must always ask and one that does not compile answer as each pattern.
TEST(PatternSetFind, PatternsAnalysedAsAddedAnswerLikeTheLoop) {
  std::string words = "(", long_literal;
  for (int w = 0; w < 300; ++w) words += (w ? "|w" : "w") + std::to_string(w);
  words += ")";
  for (int k = 0; k < 40; ++k) long_literal += Sjis("長い") + std::to_string(k);
  const std::vector<std::string> patterns = {words,
                                             long_literal,
                                             "[0-9][a-z]+xyz",
                                             "ab.*cd[0-9][0-9]3",
                                             "(foo|bar)[a-c]+(baz|qux)",
                                             "(",
                                             "[a-z]+q",
                                             words,
                                             "^" + long_literal + "$"};
  const std::vector<std::string> texts = {
      "w299",    "xw17y",  long_literal, "x" + long_literal, "1abcxyz", "abxcd123",
      "foocbaz", "fooqux", "zq",         "ab\ncd123 w0",     "9xyz"};
  for (const bool share : {false, true}) {
    PatternSet set(patterns, nullptr, share, /*release=*/true);
    for (const std::string& text : texts) EXPECT_EQ(set.Find(text), set.FindEach(text)) << text;
  }
}

TEST(PatternSetFind, AddingAfterBuildTakesEffect) {
  TbmRExp a(bmccShiftJIS), b(bmccShiftJIS);
  a.SetPattern("abc");
  b.SetPattern("b+c");
  TbmRExpSet set(bmccShiftJIS);
  set.Add(&a);
  set.Build();
  std::vector<int32_t> found;
  set.Find("xbbc", found);
  EXPECT_TRUE(found.empty());
  set.Add(&b);
  set.Add(nullptr);
  set.Build();
  set.Find("xbbc", found);
  EXPECT_EQ(found, std::vector<int32_t>{1});
  // The same pattern again, and another of the same text, are found with it.
  TbmRExp b_again(bmccShiftJIS);
  b_again.SetPattern("b+c");
  set.Add(&a);
  set.Add(&b);
  set.Add(&b_again);
  set.Find("xbbc abc", found);
  EXPECT_EQ(found, (std::vector<int32_t>{0, 1, 3, 4, 5}));
}

}  // namespace
}  // namespace parlevo
