// Tests of the shared text helpers: folding, the digit wildcard, comma text,
// truth texts, separated items and the two stacks.
#include "data/text_helpers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <random>
#include <string>

#include "data/items.h"
#include "data/stacks.h"
#include "platform/codepage.h"

namespace parlevo {
namespace {

TEST(NormalizeText, FoldsExactlyTheTableAndKeepsTheLength) {
  int changed = 0;
  for (char32_t c = 1; c <= 0xFFFF; ++c) {
    std::u16string in(1, static_cast<char16_t>(c));
    std::u16string out = NormalizeText(in);
    ASSERT_EQ(out.size(), 1u);
    if (out != in) {
      ++changed;
      EXPECT_LT(out[0], 0x7F) << "U+" << std::hex << static_cast<int>(c);
    }
  }
  EXPECT_EQ(changed, 121);
}

TEST(NormalizeText, FoldsWidthAndCase) {
  struct Case {
    std::u16string in, out;
  } cases[] = {
      {u"hello World", u"HELLO WORLD"},
      {u"\uFF48\uFF49\uFF21\uFF3A\uFF10\uFF19", u"HIAZ09"},
      {u"\u3000", u" "},
      {u"\uFF01\u201D\uFF03\uFFE5\uFFE3\u2019\uFF5C", u"!\"#\\~'|"},
      {u"\uFF5B\uFF30\uFF52\uFF49\uFF4F\uFF52\uFF5D", u"{PRIOR}"},
      // Kana, kanji, half-width katakana and the full-width quote, apostrophe
      // and reverse solidus that code page 932 does not use stay.
      {u"\u3053\u306B\u3061\u5B57\uFF71\uFF02\uFF07\uFF3C",
       u"\u3053\u306B\u3061\u5B57\uFF71\uFF02\uFF07\uFF3C"},
      {u"", u""},
  };
  for (const Case& c : cases) EXPECT_EQ(NormalizeText(c.in), c.out);
}

TEST(ExpandDigitWildcard, ExpandsHashAndKeepsEscapedHash) {
  struct Case {
    std::string in, out;
  } cases[] = {
      {"#", "[0-9]"},
      {"##", "[0-9][0-9]"},
      {"\\#", "#"},
      {"\\\\#", "\\#"},
      {"a#b\\#c", "a[0-9]b#c"},
      {"", ""},
      {"abc", "abc"},
      // "ソ" is 83 5C: its trail byte is no escape, so the "#" after it is a digit.
      {"\x83\x5C#", "\x83\x5C[0-9]"},
      {"\x83\x5C\\#", "\x83\x5C#"},
      // "\[0-9]" already written out reads as an escaped "#" too.
      {"\\[0-9]", "#"},
  };
  for (const Case& c : cases) EXPECT_EQ(ExpandDigitWildcard(c.in), c.out) << c.in;
}

// FoldEntryField skips the trip through UTF-16 for text that it leaves as
// it is; the result must be the long way's on every one- and two-byte text
// and on texts that mix characters that fold with ones that do not.
TEST(FoldEntryField, EqualsTheTripThroughUtf16InBothCodePages) {
  auto long_way = [](std::string_view ansi) {
    return ExpandDigitWildcard(platform::WideToAnsi(NormalizeText(platform::AnsiToWide(ansi))));
  };
  for (int code_page : {platform::kCodePage932, platform::kCodePage1252}) {
    platform::SetProcessCodePage(code_page);
    for (int a = 0; a < 256; ++a) {
      for (int b = -1; b < 256; ++b) {
        std::string text(1, static_cast<char>(a));
        if (b >= 0) text += static_cast<char>(b);
        ASSERT_EQ(FoldEntryField(text), long_way(text)) << code_page << " " << a << " " << b;
      }
    }
    uint32_t seed = 7;
    const std::string pieces[] = {"a",        "Z",        "#",        "\\",       "[0-9]",
                                  "\x82\xA0", "\x82\x60", "\x83\x5C", "\x81\x40", "\x82"};
    for (int round = 0; round < 20000; ++round) {
      std::string text;
      for (int k = 0; k < 6; ++k) {
        seed = seed * 134775813u + 1u;
        text += pieces[(seed >> 8) % std::size(pieces)];
      }
      ASSERT_EQ(FoldEntryField(text), long_way(text)) << code_page << " " << text;
    }
  }
  platform::SetProcessCodePage(platform::kCodePage932);
}

TEST(SplitCommaText, SplitsFieldsAsTheLineRulesSay) {
  using Fields = std::vector<std::string>;
  struct Case {
    std::string in;
    Fields out;
  } cases[] = {
      {"a,b,c", {"a", "b", "c"}},
      {"a b\tc", {"a", "b", "c"}},
      {"  a , b  ", {"a", "b"}},
      {"a,", {"a"}},
      {"a,,b", {"a", "", "b"}},
      {",x", {"", "x"}},
      {"", {}},
      {"   ", {}},
      {"\"a, b\",c", {"a, b", "c"}},
      {"\"say \"\"hi\"\"\",x", {"say \"hi\"", "x"}},
      {"\"open, to the end", {"open, to the end"}},
      {"\"a\"b", {"a", "b"}},
      {"\"\",x", {"", "x"}},
      // Double-byte text stays whole: "ポ" is 83 7C, "ソ" 83 5C.
      {"\x83\x7C,\x83\x5C", {"\x83\x7C", "\x83\x5C"}},
      {"\"\x83\x7C \x83\x5C\"", {"\x83\x7C \x83\x5C"}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitCommaText(c.in), c.out) << c.in;
  EXPECT_EQ(SplitCommaText(std::string_view("a\0,b", 4)), Fields{"a"});
}

// The splitter against a plain character-by-character reading of the same
// rules, on random lines of quotes, separators, NULs and double-byte
// characters (whole, cut at the end, or with a quote or comma as trail).
TEST(SplitCommaText, RandomLinesSplitLikeAPlainReading) {
  auto blank = [](char c) { return static_cast<unsigned char>(c) - 1u < 32u; };
  auto reference = [&](std::string_view ansi) {
    ansi = ansi.substr(0, ansi.find('\0'));
    std::vector<TCommaField> fields;
    size_t i = 0;
    auto skip_blanks = [&] {
      while (i < ansi.size() && blank(ansi[i])) ++i;
    };
    for (skip_blanks(); i < ansi.size();) {
      TCommaField field{i, i, {}};
      const bool quoted = ansi[i] == '"';
      for (i += quoted ? 1 : 0; i < ansi.size();) {
        if (quoted && ansi[i] == '"' && i + 1 < ansi.size() && ansi[i + 1] == '"') {
          field.Text += '"';
          i += 2;
        } else if (quoted ? ansi[i] == '"' : ansi[i] == ',' || blank(ansi[i])) {
          i += quoted ? 1 : 0;
          break;
        } else {
          const size_t n = platform::CharLengthAt(ansi, i);
          field.Text.append(ansi.substr(i, n));
          i += n;
        }
      }
      field.End = i;
      fields.push_back(field);
      skip_blanks();
      if (i < ansi.size() && ansi[i] == ',') ++i, skip_blanks();
    }
    return fields;
  };
  const char alphabet[] = {'a', ',', ' ', '\t', '"', '"', '\x83', '\x7C', '\x5C', '\0', '\xE9'};
  std::mt19937 rng(2026);
  for (int code_page : {platform::kCodePage932, platform::kCodePage1252}) {
    platform::SetProcessCodePage(code_page);
    for (int round = 0; round < 20000; ++round) {
      std::string line(rng() % 14, 'a');
      for (char& c : line) c = alphabet[rng() % sizeof alphabet];
      const std::vector<TCommaField> want = reference(line), got = SplitCommaFields(line);
      std::vector<std::string> texts;
      for (size_t f = 0; f < want.size(); ++f) {
        texts.push_back(want[f].Text);
        ASSERT_TRUE(f < got.size() && got[f].Begin == want[f].Begin && got[f].End == want[f].End &&
                    got[f].Text == want[f].Text)
            << code_page << " field " << f << " of «" << line << "»";
      }
      ASSERT_EQ(got.size(), want.size()) << line;
      ASSERT_EQ(SplitCommaText(line), texts) << line;
    }
  }
  platform::SetProcessCodePage(platform::kCodePage932);
}

TEST(TruthTexts, WriteAndRead) {
  EXPECT_STREQ(BoolToText(true), "True");
  EXPECT_STREQ(BoolToText(false), "False");
  EXPECT_EQ(BoolToWide(true), u"True");
  EXPECT_EQ(BoolToWide(false), u"False");

  struct Case {
    std::string in;
    bool out;
  } cases[] = {
      {"True", true},   {"TRUE", true},
      {"true", true},   {"\x82\x73\x82\x71\x82\x74\x82\x64", true},  // full-width TRUE
      {"1", true},      {"-7", true},
      {"$10", true},    {"0", false},
      {"False", false}, {"", false},
      {"True ", false}, {"yes", false},
      {"1.5", false},
  };
  for (const Case& c : cases) EXPECT_EQ(TextToBool(c.in), c.out) << c.in;
}

TEST(Items, CountCutAndPick) {
  EXPECT_EQ(ItemCount("", '|'), 0);
  EXPECT_EQ(ItemCount("a", '|'), 1);
  EXPECT_EQ(ItemCount("a|b|", '|'), 3);
  EXPECT_EQ(ItemCount("||", '|'), 3);

  std::string s = "one|two|three";
  EXPECT_EQ(CutItem(s, '|'), "one");
  EXPECT_EQ(s, "two|three");
  EXPECT_EQ(CutItem(s, '|'), "two");
  EXPECT_EQ(CutItem(s, '|'), "three");
  EXPECT_EQ(s, "");
  EXPECT_EQ(CutItem(s, '|'), "");

  struct Case {
    std::string in;
    int n;
    std::string out;
  } cases[] = {
      {"a|b|c", 0, "a"}, {"a|b|c", 2, "c"}, {"a|b|c", 3, ""}, {"a|b|c", -1, ""},
      {"a||c", 1, ""},   {"a|", 1, ""},     {"", 0, ""},      {"abc", 0, "abc"},
  };
  for (const Case& c : cases) EXPECT_EQ(ItemAt(c.in, '|', c.n), c.out) << c.in << " " << c.n;
}

TEST(Items, NeverSplitADoubleByteCharacter) {
  // {CHOICEポテト|ごはん}: "ポ" is 83 7C, whose trail byte equals "|".
  const std::string potato = "\x83\x7C\x83\x65\x83\x67";
  const std::string rice = "\x82\xB2\x82\xCD\x82\xF1";
  const std::string items = potato + "|" + rice;
  EXPECT_EQ(ItemCount(items, '|'), 2);
  EXPECT_EQ(ItemAt(items, '|', 0), potato);
  EXPECT_EQ(ItemAt(items, '|', 1), rice);
  std::string rest = items;
  EXPECT_EQ(CutItem(rest, '|'), potato);
  EXPECT_EQ(rest, rice);
}

TEST(Stacks, PopInReverseAndEmptyGivesEmpty) {
  TStrStack strings;
  EXPECT_EQ(strings.Pop(), "");
  strings.Push("a");
  strings.Push("b");
  EXPECT_EQ(strings.Count(), 2);
  EXPECT_EQ(strings.Pop(), "b");
  EXPECT_EQ(strings.Pop(), "a");
  EXPECT_EQ(strings.Pop(), "");
  EXPECT_EQ(strings.Count(), 0);

  TIntStack ints;
  ints.Push(7);
  EXPECT_EQ(ints.Pop(), 7);
  EXPECT_EQ(ints.Pop(), 0);
  EXPECT_EQ(ints.Count(), 0);
}

}  // namespace
}  // namespace parlevo
