// Tests for the code page conversions: known characters of both code pages,
// Windows' own byte choices, broken input, UTF-8 and case conversion.

#include "platform/codepage.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace parlevo::platform {
namespace {

TEST(CodePage, ProcessCodePageDefaultsTo932AndRefusesOthers) {
  EXPECT_EQ(ProcessCodePage(), kCodePage932);
  EXPECT_THROW(SetProcessCodePage(65001), std::invalid_argument);
  EXPECT_EQ(ProcessCodePage(), kCodePage932);
  EXPECT_THROW(AnsiToWide("a", 1200), std::invalid_argument);
}

TEST(CodePage, LeadBytesAndCharLength) {
  for (int b = 0; b < 256; ++b) {
    bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    EXPECT_EQ(IsLeadByte(static_cast<unsigned char>(b), kCodePage932), lead) << b;
    EXPECT_FALSE(IsLeadByte(static_cast<unsigned char>(b), kCodePage1252)) << b;
  }
  std::string text = "a\x82\xA0\x82";  // a, あ, lone lead byte at the end
  EXPECT_EQ(CharLengthAt(text, 0, kCodePage932), 1u);
  EXPECT_EQ(CharLengthAt(text, 1, kCodePage932), 2u);
  EXPECT_EQ(CharLengthAt(text, 3, kCodePage932), 1u);
  EXPECT_EQ(CharLengthAt(text, 1, kCodePage1252), 1u);
}

TEST(CodePage, Decodes932) {
  const struct {
    const char* ansi;
    const char16_t* wide;
  } cases[] = {
      {"abc", u"abc"},
      {"\x82\xA0\x82\xA2", u"あい"},
      {"\x83\x5C", u"ソ"},            // trail byte 0x5C is no backslash
      {"\x5C\x7E", u"\\~"},           // Windows keeps ASCII here
      {"\xB1\xDF", u"\uFF71\uFF9F"},  // half-width katakana
      {"\x81\x60", u"\uFF5E"},        // Windows' wave dash
      {"\x87\x40", u"①"},             // NEC row 13
      {"\xED\x40\xFA\x5C", u"纊纊"},  // NEC-selected and IBM copies
      {"\xF0\x40", u"\uE000"},        // user-defined area
      {"\x80\xA0\xFD\xFE\xFF", u"\u0080\uF8F0\uF8F1\uF8F2\uF8F3"},
      {"\x1A\x1C\x7F", u"\x1A\x1C\x7F"},
  };
  for (const auto& c : cases) EXPECT_EQ(AnsiToWide(c.ansi, kCodePage932), c.wide) << c.ansi;
}

TEST(CodePage, Encodes932WithWindowsChoices) {
  const struct {
    const char16_t* wide;
    const char* ansi;
  } cases[] = {
      {u"あいソ", "\x82\xA0\x82\xA2\x83\x5C"},
      {u"\u2252", "\x81\xE0"},  // JIS X 0208 before NEC row 13
      {u"\u2160", "\x87\x54"},  // NEC row 13 before the IBM copy
      {u"\uFFE2", "\x81\xCA"},
      {u"\u2170", "\xFA\x40"},  // IBM extension before its NEC-selected copy
      {u"纊", "\xFA\x5C"},
      {u"\u301C\u2212\u00A5\u203E", "\x81\x60\x81\x7C\x5C\x7E"},  // best fit
      {u"\u0080\uF8F0\uF8F3", "\x80\xA0\xFF"},
      {u"é€😀", "???"},  // no form in 932; a surrogate pair is one character
      {u"a\xD800"
       u"b\xDC00",
       "a?b?"},
  };
  for (const auto& c : cases) EXPECT_EQ(WideToAnsi(c.wide, kCodePage932), c.ansi);
  EXPECT_EQ(WideToAnsi(std::u16string(u"a\0b", 3), kCodePage932), std::string("a\0b", 3));
}

TEST(CodePage, BrokenShiftJisKeepsTheRest) {
  const struct {
    std::string ansi;
    std::u16string wide;
  } cases[] = {
      {"\x82", u"?"},  // lone lead byte at the end
      {"ab\x82", u"ab?"},
      {"\x82\r\nx", u"?\r\nx"},  // the line break survives
      {std::string("\x82\0y", 3), std::u16string(u"?\0y", 3)},
      {std::string("\x82\x7F") + "a", u"?\u007Fa"},  // 0x7F cannot trail: read on its own
      {"\x85\x40z", u"?z"},                          // valid trail range, no character
      {"\x82\xFDz", u"?\uF8F1z"},
      {"\xA0\x80", u"\uF8F0\u0080"},
  };
  for (const auto& c : cases) EXPECT_EQ(AnsiToWide(c.ansi, kCodePage932), c.wide);
}

TEST(CodePage, Windows1252) {
  EXPECT_EQ(AnsiToWide("\x80\x81\x8D\x8F\x90\x9D\x9F\xE9", kCodePage1252),
            u"\u20AC\u0081\u008D\u008F\u0090\u009D\u0178\u00E9");
  EXPECT_EQ(WideToAnsi(u"\u20AC\u0081\u0178\u00E9\u00FF", kCodePage1252), "\x80\x81\x9F\xE9\xFF");
  EXPECT_EQ(WideToAnsi(u"あ\u0100", kCodePage1252), "??");
  for (int b = 0; b < 256; ++b) {
    std::string one(1, static_cast<char>(b));
    EXPECT_EQ(WideToAnsi(AnsiToWide(one, kCodePage1252), kCodePage1252), one) << b;
  }
}

TEST(CodePage, Utf8) {
  EXPECT_EQ(Utf8ToWide("a\xC3\xA9\xE3\x81\x82\xF0\x9F\x98\x80"), u"aéあ😀");
  EXPECT_EQ(WideToUtf8(u"aéあ😀"), "a\xC3\xA9\xE3\x81\x82\xF0\x9F\x98\x80");
  // Invalid sequences: stray continuation, truncated, overlong, surrogate.
  EXPECT_EQ(Utf8ToWide("\x80x"), u"\uFFFDx");
  EXPECT_EQ(Utf8ToWide("\xE3\x81"), u"\uFFFD\uFFFD");
  EXPECT_EQ(Utf8ToWide("\xC0\xAFz"), u"\uFFFD\uFFFDz");
  EXPECT_EQ(Utf8ToWide("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(WideToUtf8(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD");
  EXPECT_EQ(AnsiToUtf8("\x82\xA0\x83\x5C"), "あソ");
  EXPECT_EQ(Utf8ToAnsi("あソé"), "\x82\xA0\x83\x5C?");
}

TEST(CodePage, CaseConversionLeavesDoubleByteCharactersAlone) {
  // "ア" is 0x83 0x41 and "Ｂ" 0x82 0x61: their second bytes look like letters.
  EXPECT_EQ(AnsiLower("ABC\x83\x41xY\x82\x61"), "abc\x83\x41xy\x82\x61");
  EXPECT_EQ(AnsiUpper("abc\x83\x61Xy\xB1"), "ABC\x83\x61XY\xB1");
  EXPECT_EQ(AnsiLower("A\x82"), "a\x82");
  SetProcessCodePage(kCodePage1252);
  EXPECT_EQ(AnsiLower("A\xC9\xD7\x8A\x9F\x83\x41"), "a\xE9\xD7\x9A\xFF\x83\x61");
  EXPECT_EQ(AnsiUpper("a\xE9\xF7\x9A\xFF\xDF"), "A\xC9\xF7\x8A\x9F\xDF");
  SetProcessCodePage(kCodePage932);
}

}  // namespace
}  // namespace parlevo::platform
