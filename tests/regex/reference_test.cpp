// The engine against the independent reference matcher on random patterns and
// texts over a small alphabet with double-byte characters: Match from various
// starts, Found, syntax errors, and the set matcher's answers.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "common/reference_compare.h"

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
                                          "\x82"};
    std::string text;
    for (int i = Below(13); i > 0; --i) text += Pick(kPieces);
    return text;
  }

  std::string Pattern() {
    switch (Below(10)) {
      case 0:
        return Soup();
      case 1:
        return WordList();
      default:
        return Alternation(3);
    }
  }

  TbmCharCode Code() {
    const int r = Below(20);
    return r < 14 ? bmccShiftJIS : r < 16 ? bmccEUC : r < 18 ? bmccWestern : bmccUniCode;
  }

  int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

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
    for (int i = 1 + make.Below(30); i > 0; --i) {
      // Repeats: a set searches each distinct pattern once.
      patterns.push_back(make.Below(5) == 0 && !patterns.empty() ? patterns[0] : make.Pattern());
    }
    const std::vector<std::string> texts = {make.Text(), make.Text(), make.Text(), make.Text()};
    const std::string diff = reference::CompareSet(bmccShiftJIS, patterns, texts);
    if (!diff.empty()) {
      ADD_FAILURE() << diff;
      ++failures;
    }
  }
}

}  // namespace
}  // namespace parlevo
