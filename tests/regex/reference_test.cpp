// The engine against the independent reference matcher on random patterns and
// texts over a small alphabet with double-byte characters: Match from various
// starts, Found, syntax errors, and the set matcher's answers.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "common/reference_compare.h"
#include "common/reference_matcher.h"
#include "regex/literal_analysis.h"
#include "regex/literal_list.h"
#include "regex/match_budget.h"
#include "regex/position_nfa.h"
#include "regex/ranges.h"
#include "regex/rexp.h"
#include "regex/rexp_set.h"
#include "regex/scanner.h"
#include "regex/set_shapes.h"
#include "regex/tree.h"

namespace parlevo {
namespace {

// Random cases; the same seed gives the same cases.
class CaseMaker {
 public:
  explicit CaseMaker(uint32_t seed) : rng_(seed) {}

  // Text characters: ASCII, line breaks, anchors' characters, and Shift JIS
  // double-byte ones (one whose trail byte is 'a', one whose trail byte is
  // '\'), and a bare lead byte that pairs with whatever follows it.
  std::string Text() {
    static const char* const kPieces[] = {"a",
                                          "b",
                                          "a",
                                          "b",
                                          "\n",
                                          "\r",
                                          "^",
                                          "$",
                                          "]",
                                          "-",
                                          "\x82\xa0",
                                          "\x83"
                                          "a",
                                          "\x95\\",
                                          "\x82",
                                          "1",
                                          "2"};
    std::string text;
    for (int i = Below(13); i > 0; --i) text += Pick(kPieces);
    return text;
  }

  std::string Pattern() {
    if (!words_.empty()) return Shape();
    switch (Below(10)) {
      case 0:
        return Soup();
      case 1:
        return WordList();
      case 2:
      case 3:
        return Shape();
      default:
        return Alternation(3);
    }
  }

  TbmCharCode Code() {
    const int r = Below(20);
    return r < 14 ? bmccShiftJIS : r < 16 ? bmccEUC : r < 18 ? bmccWestern : bmccUniCode;
  }

  int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

  // Mostly literal text: double-byte characters whose trail byte is a
  // metacharacter, UTF-8 bytes read as Shift JIS, a lead byte at the end or
  // before a NUL;
  // now and then an operator.
  std::string LiteralLike() {
    static const char* const kText[] = {
        "a",     "1",     "\x83[", "\x83\\",       "\x83|",        "\x83(",    "\x83)",
        "\x83*", "\x83.", "\x83?", "\xE3\x82\xBD", "\xE8\xA1\xA8", "\x82\xa0", "\x95\\"};
    static const char* const kOperators[] = {"|", "(", ")", "^", "$", "\\|", "\\(", "*", "[", "."};
    std::string out;
    for (int i = 1 + Below(6); i > 0; --i) out += Below(6) == 0 ? Pick(kOperators) : Pick(kText);
    if (Below(8) == 0) out += Below(2) == 0 ? std::string("\x83") : std::string("\x83\0a", 3);
    return out;
  }

 private:
  template <size_t N>
  const char* Pick(const char* const (&items)[N]) {
    return items[Below(static_cast<int>(N))];
  }

  std::string Alternation(int depth) {
    std::string out = Concatenation(depth);
    for (int i = Below(4) == 0 ? 1 + Below(2) : 0; i > 0; --i) out += "|" + Concatenation(depth);
    return out;
  }

  std::string Concatenation(int depth) {
    std::string out;
    for (int i = Below(5); i > 0; --i) {
      out += Atom(depth);
      static const char* const kPostfix[] = {"", "", "", "", "*", "+", "?"};
      out += Pick(kPostfix);
    }
    return out;
  }

  std::string Atom(int depth) {
    static const char* const kChars[] = {"a",
                                         "b",
                                         "a",
                                         "b",
                                         "\x82\xa0",
                                         "\x83"
                                         "a",
                                         "\x95\\",
                                         "-",
                                         "]",
                                         "\\n",
                                         "\\r",
                                         "\\x61",
                                         "\\x82a0",
                                         "\\x8361",
                                         "\\x8200",
                                         "\\141",
                                         "\\^",
                                         "\\$",
                                         "\\.",
                                         "\\\\",
                                         "\\]"};
    switch (Below(12)) {
      case 0:
        return ".";
      case 1:
        return "^";
      case 2:
        return "$";
      case 3:
      case 4:
        return Class();
      case 5:
      case 6:
        if (depth > 0) return "(" + Alternation(depth - 1) + ")";
        [[fallthrough]];
      default:
        return Pick(kChars);
    }
  }

  std::string Class() {
    static const char* const kMembers[] = {"a",
                                           "b",
                                           "\x82\xa0",
                                           "\x83"
                                           "a",
                                           "\\n",
                                           "\\r",
                                           "^",
                                           "-",
                                           "$",
                                           "a-b",
                                           "\\x00-a",
                                           "a-\x83"
                                           "a",
                                           "\\x8140-\\x82ff",
                                           "\\]",
                                           "\\x00-\\xFFFF"};
    std::string out = Below(3) == 0 ? "[^" : "[";
    if (Below(6) == 0) out += "]";
    for (int i = 1 + Below(3); i > 0; --i) out += Pick(kMembers);
    return out + "]";
  }

  // Pattern syntax at random: mostly malformed.
  std::string Soup() {
    static const char* const kBits[] = {"(", ")", "|",  "*", "+", "?", "[",        "]",   "^",
                                        "$", ".", "\\", "-", "a", "b", "\x82\xa0", "\\x", "[^"};
    std::string out;
    for (int i = 1 + Below(8); i > 0; --i) out += Pick(kBits);
    return out;
  }

  // What a set decides from its literal hits alone: "A.*B", digits before or
  // after a literal, classes before it, a star at either end; anchored or
  // not, and near misses.
  std::string Shape() {
    static const char* const kForms[] = {
        "%.*%",    "%.*%",     "%[0-9]+",     "[0-9]+%",      "%[0-9]*",         ".*%",
        "%.+%",    "%[0-9]+%", "%[0-9]*%",    "%.*",          "%.*%[0-9][0-9]%", "%[0-9]%",
        "[a-b]+%", "[b1]+%",   "[0-9][0-9]%", "[A-Z][a-z]+%", "[a-z][0-9a-f]%",  "[A-Z]+[0-9]%"};
    std::string out = Below(5) == 0 ? "^" : "";
    for (const char* c = Pick(kForms); *c; ++c) {
      if (*c != '%') {
        out += *c;
      } else if (!words_.empty()) {  // a crowd: one of a few words, at times grouped
        const std::string& word =
            words_[static_cast<size_t>(Below(static_cast<int>(words_.size())))];
        out += Below(3) == 0 ? "(" + word + ")" : word;
      } else if (Below(4) == 0) {
        out += "(" + Concatenation(0) + "|" + Concatenation(0) + ")";
      } else {
        out += Concatenation(0);
      }
    }
    return out + (Below(5) == 0 ? "$" : "");
  }

  // Literal strings joined by '|', at times more than the prefilter keeps,
  // grouped and anchored or not.
  std::string WordList() {
    static const char* const kPieces[] = {"a", "b", "\x82\xa0",
                                          "\x83"
                                          "a",
                                          "\\n"};
    std::string words;
    for (int i = 1 + (Below(2) == 0 ? Below(24) : Below(4)); i > 0; --i) {
      if (!words.empty()) words += "|";
      for (int j = 1 + Below(3); j > 0; --j) words += Pick(kPieces);
    }
    switch (Below(4)) {
      case 0:
        return "^(" + words + ")$";
      case 1:
        return "(" + words + ")" + (Below(2) ? "$" : "");
      case 2:
        return "^(" + words + ")";
      default:
        return words;
    }
  }

  std::mt19937 rng_;
  std::vector<std::string> words_;  // set by Crowd

 public:
  // Patterns are shapes made of `count` words from here on (none: anything),
  // so that many patterns of a set share their literals and how hits decide
  // them.
  void Crowd(int count) {
    words_.clear();
    for (int i = 0; i < count; ++i) words_.push_back(Concatenation(0));
  }
};

// UTF-16 texts and patterns here are the byte forms widened a byte to a unit.
std::string Widen(const std::string& bytes) {
  std::string out;
  for (char b : bytes) {
    out += b;
    out += '\0';
  }
  return out;
}

int Rounds(int normal) {
  const char* more = std::getenv("PARLEVO_REFERENCE_ROUNDS");  // for longer local runs
  return more ? std::atoi(more) : normal;
}

TEST(ReferenceDifferential, MatchAgreesWithTheReference) {
  CaseMaker make(20261207);
  int failures = 0;
  for (int round = Rounds(20000); round > 0 && failures < 10; --round) {
    const TbmCharCode code = make.Code();
    std::string pattern = make.Pattern(), text = make.Text();
    if (code == bmccUniCode) {
      pattern = Widen(pattern);
      text = Widen(text);
    }
    int32_t from = make.Below(3) == 0 ? make.Below(static_cast<int>(text.size()) + 2) : 0;
    if (code == bmccUniCode) from &= ~1;
    const std::string diff = reference::CompareMatch(code, pattern, text, from);
    if (!diff.empty()) {
      ADD_FAILURE() << diff;
      ++failures;
    }
  }
}

TEST(ReferenceDifferential, SetFindsWhatTheReferenceFinds) {
  CaseMaker make(7);
  int failures = 0;
  for (int round = Rounds(20000) / 20; round > 0 && failures < 10; --round) {
    std::vector<std::string> patterns;
    // One set in eight is a crowd: a hundred shapes over three words.
    const bool crowd = round % 8 == 0;
    if (crowd) make.Crowd(3);
    for (int i = crowd ? 100 : 1 + make.Below(30); i > 0; --i) {
      // Repeats: a set searches each distinct pattern once.
      patterns.push_back(make.Below(5) == 0 && !patterns.empty() ? patterns[0] : make.Pattern());
    }
    make.Crowd(0);
    const std::vector<std::string> texts = {make.Text(), make.Text(), make.Text(), make.Text()};
    const std::string diff = reference::CompareSet(bmccShiftJIS, patterns, texts);
    if (!diff.empty()) {
      ADD_FAILURE() << diff;
      ++failures;
    }
  }
}

// Trail bytes that are ASCII letters (ウ is 0x83 'E', 池 0x92 'r', 谷 0x92 'J')
// before ASCII words: byte engines start matches on them, ours never does,
// whatever shape the set decides a pattern by.
TEST(ReferenceDifferential, SetNeverStartsInsideADoubleByteCharacter) {
  const std::vector<std::string> patterns = {
      "[A-Z][a-z]+ke", "[A-Z][a-z]+so", "Esocket", "E.*ket",  "[E-J]soc",
      "r[a-z]+",       "^Esocket",      "J[0-9]+", "Esock|x", "(E|r)s(o|x)ck"};
  const std::vector<std::string> texts = {
      "\x83"
      "Esocket",
      "id \x83"
      "Esocket\x92"
      "rsocket",
      "\x8F"
      "a\x92"
      "J805 \x83"
      "E\x83"
      "Esox",
      "Esocket \x83"
      "E"};
  EXPECT_EQ(reference::CompareSet(bmccShiftJIS, patterns, texts), "");
}

// The positions of a pattern, searched by simulation without an automaton.
std::unique_ptr<TbmREPositionNFA> Positions(TbmCharCode code, const std::string& pattern) {
  TbmREScanner scanner(code);
  scanner.SetTextInPlace(pattern);
  TbmRETokens tokens;
  tokens.Tokenize(scanner);
  TbmREWchRanges ranges;
  tokens.Standardize(ranges);
  TbmRETree tree;
  tree.Build(tokens, ranges);
  return std::make_unique<TbmREPositionNFA>(tree);
}

// Searches under a memory budget far too small for the patterns, shared by
// many of them, so that states are dropped in the middle of searches and
// searches finish by simulation: Found, the simulation's leftmost-longest
// search and the set matcher must all answer as the reference does.
TEST(ReferenceDifferential, BudgetedSearchAgreesWithTheReference) {
  CaseMaker make(2020);
  auto budget = std::make_shared<TbmREMatchBudget>(3000);
  std::vector<std::unique_ptr<TbmRExp>> kept;  // searched again on later texts
  std::vector<std::string> kept_patterns;
  int failures = 0;
  auto fail = [&](const std::string& what) {
    ADD_FAILURE() << what;
    ++failures;
  };
  for (int round = Rounds(20000) / 4; round > 0 && failures < 10; --round) {
    const TbmCharCode code = make.Below(4) == 0 ? make.Code() : bmccShiftJIS;
    std::string pattern = make.Pattern(), text = make.Text();
    if (code == bmccUniCode) {
      pattern = Widen(pattern);
      text = Widen(text);
    }
    const reference::Matcher reference(code, pattern);
    auto budgeted = std::make_unique<TbmRExp>(code);
    budgeted->SetPattern(pattern);
    budgeted->SetBudget(budget);
    const std::string where = std::string(bmccCharCodeName(code)) + " pattern \"" +
                              reference::Printable(pattern) + "\" text \"" +
                              reference::Printable(text) + "\"";
    if (reference.Error() != reference::SyntaxError::kNone) {
      try {
        budgeted->Found(text);
        fail(where + ": a malformed pattern was searched");
      } catch (const EbmREToken&) {
      }
      continue;
    }
    const reference::Outcome expected = reference.Search(text, 0);
    if (expected.status == reference::Outcome::kSkipped) continue;
    const bool found = expected.status == reference::Outcome::kMatch;
    if (budgeted->Found(text) != found) fail(where + ": Found under the budget disagrees");
    int32_t from = make.Below(3) == 0 ? make.Below(static_cast<int>(text.size()) + 1) : 0;
    if (code == bmccUniCode) from &= ~1;
    const reference::Outcome at = reference.Search(text, from);
    int32_t pos, len;
    const bool simulated = Positions(code, pattern)->Search(code, text, from, pos, len);
    if (at.status != reference::Outcome::kSkipped &&
        (simulated != (at.status == reference::Outcome::kMatch) ||
         (simulated && (pos != at.pos || len != at.len)))) {
      fail(where + " from " + std::to_string(from) + ": the simulation finds " +
           std::to_string(pos) + "+" + std::to_string(len) + ", the reference " +
           std::to_string(at.pos) + "+" + std::to_string(at.len));
    }
    if (code != bmccShiftJIS) continue;
    // Earlier patterns asked again: their states were dropped by others.
    for (size_t i = 0; i < kept.size(); ++i) {
      const reference::Outcome again = reference::Matcher(code, kept_patterns[i]).Search(text, 0);
      if (again.status != reference::Outcome::kSkipped &&
          kept[i]->Found(text) != (again.status == reference::Outcome::kMatch)) {
        fail("kept pattern \"" + reference::Printable(kept_patterns[i]) + "\" text \"" +
             reference::Printable(text) + "\": Found under the budget disagrees");
      }
    }
    if (kept.size() == 24) {  // the set of them, against the reference, then a fresh lot
      TbmRExpSet set(bmccShiftJIS);
      set.SetBudget(budget);
      for (const auto& matcher : kept) set.Add(matcher.get());
      // This text, then more: the set's candidates share its states; the
      // last ones long enough to be verified together, then to be asked of
      // the whole set at once.
      std::string asked = text;
      for (int more = 0; more < 8; ++more) {
        for (int add = more < 6 ? 1 : 24 * (more - 5); more > 0 && add > 0; --add) {
          asked += make.Text();
        }
        std::vector<int32_t> found_set;
        set.Find(asked, found_set);
        std::vector<int32_t> want;
        bool skipped = false;
        for (size_t i = 0; i < kept.size(); ++i) {
          const reference::Outcome o = reference::Matcher(code, kept_patterns[i]).Search(asked, 0);
          skipped = skipped || o.status == reference::Outcome::kSkipped;
          if (o.status == reference::Outcome::kMatch) want.push_back(static_cast<int32_t>(i));
        }
        if (!skipped && found_set != want) {
          fail("a set under the budget, text \"" + reference::Printable(asked));
        }
      }
      kept.clear();
      kept_patterns.clear();
    }
    kept.push_back(std::move(budgeted));
    kept_patterns.push_back(pattern);
  }
  EXPECT_GT(budget->Resets(), 100u) << "the budget was never short";
  EXPECT_LE(budget->Used(), budget->Limit());
}

// Loading takes shortcuts: a pattern whose bytes show it is one literal or
// no literal list skips the list reader, a parse for literals builds no partition, and the
// thread's parse tree reuses its storage from pattern to pattern. A matcher
// that was only parsed must answer exactly as one compiled whole from the
// start (which never takes the list shortcut): validity, literals, set
// shape and every search.
TEST(ReferenceDifferential, ParsedForLoadingAnswersAsCompiledWhole) {
  CaseMaker make(1208);
  int failures = 0;
  auto fail = [&](const std::string& what) {
    ADD_FAILURE() << what;
    ++failures;
  };
  for (int round = Rounds(20000) / 2; round > 0 && failures < 10; --round) {
    const TbmCharCode code = make.Below(4) == 0 ? make.Code() : bmccShiftJIS;
    std::string pattern = make.Below(2) == 0 ? make.LiteralLike() : make.Pattern();
    if (code == bmccUniCode) pattern = Widen(pattern);
    const std::string where =
        std::string(bmccCharCodeName(code)) + " pattern \"" + reference::Printable(pattern) + "\"";
    TbmREScanner scanner(code);
    scanner.SetText(pattern);
    TbmRELiteralList list;
    const bool is_list = ReadLiteralList(scanner, list);
    if (is_list && !MayBeLiteralList(pattern, code)) {
      fail(where + ": a literal list was told apart as none");
    }
    if (IsPlainLiteral(pattern, code) && !(is_list && list.size() == 1 && list[0] == pattern)) {
      fail(where + ": taken as a plain literal, but it reads otherwise");
    }
    TbmRExp parsed(code), whole(code);
    parsed.SetPattern(pattern);
    whole.SetPattern(pattern);
    bool parsed_ok = true, whole_ok = true;
    try {
      parsed.Parse();
    } catch (const EbmREToken&) {
      parsed_ok = false;
    }
    try {
      whole.GetDFATable();
    } catch (const EbmREToken&) {
      whole_ok = false;
    }
    if (parsed_ok != whole_ok) fail(where + ": valid one way only");
    if (!parsed_ok || !whole_ok) continue;
    const TbmREFastFind& a = parsed.QuickAnswers();
    const TbmREFastFind& b = whole.QuickAnswers();
    // A longer list is searched as a set; the tree leaves it to the automaton,
    // and may know nothing of a list that repeats words beyond what it keeps.
    const bool tree_knows_less = is_list && b.Literals().empty() && !b.LiteralOnly();
    if (a.Literals().size() <= kMaxLiterals && !tree_knows_less &&
        (a.Literals() != b.Literals() || a.AlsoLiterals() != b.AlsoLiterals() ||
         a.LiteralOnly() != b.LiteralOnly() || a.HeadAnchored() != b.HeadAnchored() ||
         a.TailAnchored() != b.TailAnchored())) {
      fail(where + ": the quick answers differ");
    }
    const TbmRESetShape s = parsed.TakeSetShape(), t = whole.TakeSetShape();
    if (s.kind != t.kind || s.first != t.first || s.second != t.second || s.follow != t.follow ||
        s.head != t.head || s.tail != t.tail || s.before != t.before) {
      fail(where + ": the set shapes differ");
    }
    for (int k = 0; k < 4; ++k) {
      const std::string text = code == bmccUniCode ? Widen(make.Text()) : make.Text();
      int32_t pos_a, len_a, pos_b, len_b;
      if (parsed.Found(text) != whole.Found(text) ||
          parsed.Match(text, 1, pos_a, len_a) != whole.Match(text, 1, pos_b, len_b) ||
          len_a != len_b) {
        fail(where + " text \"" + reference::Printable(text) + "\": the searches differ");
      }
    }
  }
}

}  // namespace
}  // namespace parlevo
