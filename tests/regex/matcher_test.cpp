// The matcher through its public interface: leftmost start, longest match,
// byte positions, anchors, double-byte characters, errors, Found.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "regex/rexp.h"
#include "test_util.h"

namespace parlevo {
namespace {

using testing::Sjis;

struct MatchCase {
  std::string pattern;
  std::string text;
  int32_t from;
  int32_t pos;  // expected 1-based position, 0 for none
  int32_t len;
};

void ExpectMatches(TbmCharCode code, const std::vector<MatchCase>& cases) {
  for (const auto& c : cases) {
    TbmRExp re(code);
    re.SetPattern(c.pattern);
    int32_t pos = -7, len = -7;
    int32_t result = re.Match(c.text, c.from, pos, len);
    SCOPED_TRACE("pattern «" + c.pattern + "» text «" + c.text + "» from " +
                 std::to_string(c.from));
    EXPECT_EQ(result, c.pos);
    EXPECT_EQ(pos, c.pos);
    EXPECT_EQ(len, c.len);
    if (c.from == 1) {
      EXPECT_EQ(re.Found(c.text), c.pos != 0);
    }
  }
}

TEST(Matcher, LeftmostStartThenLongest) {
  ExpectMatches(bmccShiftJIS, {
                                  {"", "abc", 1, 1, 0},
                                  {"", "", 1, 1, 0},
                                  {"", "abc", 4, 4, 0},
                                  {"a*", "bbb", 1, 1, 0},
                                  {"b+", "abbb", 1, 2, 3},
                                  {"ab|abcd", "xabcde", 1, 2, 4},
                                  {"abc", "abc", 5, 0, 0},
                                  {"abc", "abc", 4, 0, 0},
                                  {"abc", "abc", 0, 0, 0},
                                  {"abc", "xxabcabc", 4, 6, 3},
                                  {"a?b", "xxb", 1, 3, 1},
                                  {"(ab)+", "xababa", 1, 2, 4},
                                  {"a(b|c)*d", "zabcbcbdz", 1, 2, 7},
                                  {"x()y", "axyb", 1, 2, 2},
                                  {"a|", "bbb", 1, 1, 0},
                                  {"[0-9]+", "abc 2024 def", 1, 5, 4},
                                  {"[]a]+", "x]a]", 1, 2, 3},
                                  {"[^a]", "aab", 1, 3, 1},
                                  {"[^5-90-7]", "0123 ", 1, 5, 1},
                                  {"a.c", "a\nc abc", 1, 5, 3},
                                  {".", "\r\n", 1, 0, 0},
                                  {"\\.", "a.b", 1, 2, 1},
                                  {"\\x41\\101", "xAA", 1, 2, 2},
                                  {"a/b&c!{}", "za/b&c!{}", 1, 2, 8},
                                  {"abc", "ABC", 1, 0, 0},  // case-sensitive
                              });
}

TEST(Matcher, Anchors) {
  ExpectMatches(
      bmccShiftJIS,
      {
          {"^b", "a\nb", 1, 3, 1},
          {"^b", "a\r\nb", 1, 4, 1},
          {"^b", "a\rb", 1, 3, 1},
          {"^b", "bb", 2, 0, 0},    // '^' matches at the text start only when searching from it
          {"^b", "a\nb", 3, 3, 1},  // but a line still begins after LF
          {"^a", "ba", 1, 0, 0},
          {"a$", "xa\r\n", 1, 2, 1},
          {"a$", "xab", 1, 0, 0},
          {"$", "abc", 1, 4, 0},
          {"^$", "ab\n\ncd", 1, 4, 0},
          {"^$", "", 1, 1, 0},
          {"a^b", "xa^b", 1, 2, 3},  // not at the start: a literal '^'
          {"a$b", "a$b", 1, 1, 3},   // something follows: a literal '$'
          {"a$x*", "a$xx", 1, 1, 4},
          {"(^a|b)c", "xac\nac", 1, 5, 2},
          {"(^a|b)c", "xbc", 1, 2, 2},
          {"^(abc|x)$", "abc", 1, 1, 3},
          {"^(abc|x)$", "abcd", 1, 0, 0},
          {"b$|c", "abc", 1, 3, 1},
      });
}

TEST(Matcher, ShiftJisCountsBytesAndKeepsCharactersWhole) {
  const std::string konnichiwa = Sjis("こんにちは");
  const std::string text = Sjis("やあ、こんばんは");
  ExpectMatches(bmccShiftJIS, {
                                  {Sjis("(こんにちは|こんばんは)"), text, 1, 7, 10},
                                  {konnichiwa, text, 1, 0, 0},
                                  {Sjis("ん"), Sjis("こんにちは"), 1, 3, 2},
                                  {Sjis("[ぁ-ん]+"), Sjis("abcあいう"), 1, 4, 6},
                                  {".", Sjis("あ"), 1, 1, 2},
                                  {"..", Sjis("あa"), 1, 1, 3},
                                  // 0x83 0x41 is one character: the 'A' inside it is no 'A'.
                                  {"A", "\x83\x41", 1, 0, 0},
                                  {"A",
                                   "\x83\x41"
                                   "A",
                                   1, 3, 1},
                                  {"\\x8341", "x\x83\x41", 1, 2, 2},
                                  {Sjis("[^あ]"), Sjis("ああい"), 1, 5, 2},
                              });
}

TEST(Matcher, OtherCharacterCodes) {
  ExpectMatches(bmccWestern, {
                                 {"A", "\x83\x41", 1, 2, 1},  // every byte is a character
                                 {"\xe9+", "caf\xe9\xe9", 1, 4, 2},
                                 {"\\x12345",
                                  std::string("\x12"
                                              "345",
                                              4),
                                  1, 1, 4},
                             });
  ExpectMatches(bmccEUC, {
                             {"\xa4\xa2", "x\xa4\xa2", 1, 2, 2},
                             {"\xb1", "\x8e\xb1", 1, 0, 0},  // 0x8E 0xB1 is one character
                         });
  // UTF-16: each unit is two bytes.
  TbmRExp re(bmccUniCode);
  re.SetPattern(std::string("b\0", 2));
  int32_t pos, len;
  EXPECT_EQ(re.Match(std::string("a\0b\0", 4), 1, pos, len), 3);
  EXPECT_EQ(len, 2);
  EXPECT_TRUE(re.Found(std::string("a\0b\0", 4)));
  EXPECT_THROW(re.Match(std::string("a\0b", 3), 1, pos, len), std::runtime_error);
  EXPECT_EQ(re.Match(std::string("a\0b", 3), 9, pos, len), 0);  // out of range: no search
}

TEST(Matcher, SyntaxErrorsComeBackOnEveryCall) {
  struct ErrorCase {
    std::string pattern;
    std::string message;
  };
  const std::vector<ErrorCase> cases = {
      {"*a", "need normal char or left parenthesis"},
      {"a|*", "need normal char or left parenthesis"},
      {"a**", "need normal char or left parenthesis"},
      {"(*)", "need normal char or left parenthesis"},
      {"(a", "need right parenthesis"},
      {"a)b", "invalid character"},
      {"[z-a]", "invalid character class"},
      {"[ab", "need right bracket \"]\" "},
      {"ab\\", "invalid escape sequence"},
      {"\\xg", "invalid escape sequence"},
      {"[\\xg]", "invalid escape sequence"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pattern);
    TbmRExp re(bmccShiftJIS);
    re.SetPattern(c.pattern);
    int32_t pos = 5, len = 5;
    for (int round = 0; round < 2; ++round) {
      try {
        re.Match("", 1, pos, len);
        ADD_FAILURE() << "no error";
      } catch (const EbmREToken& e) {
        EXPECT_EQ(std::string(e.what()), c.message);
      }
    }
    EXPECT_THROW(re.Found("abc"), EbmREToken);
    EXPECT_THROW(re.GetDFATable(), EbmREToken);
  }
}

TEST(Matcher, SetPatternRecompilesOnlyOnChange) {
  TbmRExp re(bmccShiftJIS);
  re.SetPattern("a(");
  EXPECT_THROW(re.Found("a"), EbmREToken);
  re.SetPattern("ab");
  EXPECT_EQ(re.Pattern(), "ab");
  const TbmREDFATable* first = &re.GetDFATable();
  re.SetPattern(std::string("ab"));
  EXPECT_EQ(first, &re.GetDFATable());
  EXPECT_TRUE(re.Found("xaby"));
  re.SetPattern("b$");
  EXPECT_FALSE(re.Found("xaby"));
  EXPECT_TRUE(re.Found("xab"));
}

TEST(Matcher, MovedMatcherKeepsWorking) {
  TbmRExp re(bmccShiftJIS);
  re.SetPattern("b+");
  EXPECT_TRUE(re.Found("abb"));
  TbmRExp moved(std::move(re));
  int32_t pos, len;
  EXPECT_EQ(moved.Match("abbb", 1, pos, len), 2);
  EXPECT_EQ(len, 3);
}

}  // namespace
}  // namespace parlevo
