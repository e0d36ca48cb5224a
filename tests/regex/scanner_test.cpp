// Scanner and token standardisation through the token list.
#include "regex/scanner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "regex/ranges.h"

namespace parlevo {
namespace {

// Tokens as "kind:lo-hi" strings (lo only when lo == hi), ending with "end".
std::string Describe(const TbmRETokens& tokens) {
  std::string out;
  for (size_t i = 0; i < tokens.size(); ++i) {
    const auto& t = tokens[i];
    if (!out.empty()) out += ' ';
    out += bmreTokenKindName(t.Kind);
    if (t.Kind == tkChar || t.Kind == tkCharClass) {
      out += ':' + std::to_string(t.Lo);
      if (t.Hi != t.Lo) out += '-' + std::to_string(t.Hi);
    }
  }
  return out;
}

std::string Scan(const std::string& pattern, TbmCharCode code = bmccShiftJIS) {
  TbmREScanner scanner(code);
  scanner.SetText(pattern);
  TbmRETokens tokens;
  tokens.Tokenize(scanner);
  return Describe(tokens);
}

TEST(Scanner, Tokens) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", "end"},
      {"a|(b)*+?.^$",
       "character:97 union left parenthesis character:98 right parenthesis asterisk "
       "plus question mark dot line head line tail end"},
      {"[]a]", "left bracket character:93 character:97 right bracket end"},
      {"[^]]", "negate left bracket character:93 right bracket end"},
      {"[a-]", "left bracket character:97 character:45 right bracket end"},
      {"[]-a]", "left bracket character class:93-97 right bracket end"},
      {"[-a]", "left bracket character:45 character:97 right bracket end"},
      {"[a^$.*(|[]",
       "left bracket character:97 character:94 character:36 character:46 "
       "character:42 character:40 character:124 character:91 right bracket end"},
      {"[\\x41-\\x43]", "left bracket character class:65-67 right bracket end"},
      {"\\q\\101\\x41\\0", "character:113 character:65 character:65 character:0 end"},
      {"\\x12345", "character:4660 character:53 end"},
      {"{PRIOR}",
       "character:123 character:80 character:82 character:73 character:79 "
       "character:82 character:125 end"},
      {"a/b&c!",
       "character:97 character:47 character:98 character:38 character:99 "
       "character:33 end"},
      {"\x82\xA0]", "character:33440 character:93 end"},
  };
  for (const auto& [pattern, expected] : cases) EXPECT_EQ(Scan(pattern), expected) << pattern;
  EXPECT_EQ(Scan("\\x12345", bmccWestern),
            "character:18 character:51 character:52 character:53 end");
}

TEST(Scanner, ErrorsCarryTheTokenWhereScanningStopped) {
  struct Case {
    std::string pattern;
    TbmRETokenKind kind;
    int32_t start, end;
  };
  const std::vector<Case> cases = {
      {"[z-a]", tkErrInvalidCharClass, 1, 4},
      {"[ab", tkErrNeedRBracket, 3, 4},
      {"ab\\", tkErrInvalidEscape, 2, 4},
      {"\\xg", tkErrInvalidEscape, 0, 2},
  };
  for (const auto& c : cases) {
    TbmREScanner scanner(bmccShiftJIS);
    scanner.SetText(c.pattern);
    TbmRETokens tokens;
    try {
      tokens.Tokenize(scanner);
      ADD_FAILURE() << c.pattern;
    } catch (const EbmREToken& e) {
      EXPECT_EQ(e.Token.Kind, c.kind) << c.pattern;
      EXPECT_EQ(e.Token.StartPos, c.start) << c.pattern;
      EXPECT_EQ(e.Token.EndPos, c.end) << c.pattern;
      EXPECT_STREQ(e.what(), bmreTokenKindName(c.kind));
    }
  }
}

TEST(Scanner, KindNamesAndReaderlessCode) {
  EXPECT_STREQ(bmreTokenKindName(tkErrNeedRBracket), "need right bracket \"]\" ");
  EXPECT_STREQ(bmreTokenKindName(tkLogLPar), "logical left parenthis");
  EXPECT_STREQ(bmreTokenKindName(tkErrNeedAtom), "need normal char or left parenthesis");
  TbmREScanner scanner(bmccShiftJIS);
  EXPECT_THROW(scanner.SetCharCode(bmccJIS), std::runtime_error);
  EXPECT_EQ(scanner.CharCode(), bmccShiftJIS);
}

std::string Standardized(const std::string& pattern, std::string* partition = nullptr) {
  TbmREScanner scanner(bmccShiftJIS);
  scanner.SetText(pattern);
  TbmRETokens tokens;
  tokens.Tokenize(scanner);
  TbmREWchRanges ranges;
  tokens.Standardize(ranges);
  if (partition) {
    partition->clear();
    for (const auto& r : ranges.Records()) {
      *partition += std::to_string(r.Lo) + (r.Lo == r.Hi ? "" : "-" + std::to_string(r.Hi)) + " ";
    }
  }
  return Describe(tokens);
}

TEST(Standardize, NegatedClassesListTheComplement) {
  EXPECT_EQ(Standardized("[^a]"),
            "left bracket character class:0-9 character class:11-12 character class:14-96 "
            "character class:98-65535 right bracket end");
  EXPECT_EQ(Standardized("[^5-90-7]"),
            "left bracket character class:0-9 character class:11-12 character class:14-47 "
            "character class:58-65535 right bracket end");
  std::string partition;
  Standardized("[a-c]x|[b-d]y", &partition);
  EXPECT_EQ(partition, "97 98-99 100 120 121 ");
  Standardized("^a.$", &partition);
  EXPECT_EQ(partition, "0-9 11-12 14-35 36 37-93 94 95-96 97 98-65535 ");
}

TEST(Standardize, EmptyNegatedClassIsRefused) {
  try {
    Standardized("a[^\\x0-\\xFFFF]");
    ADD_FAILURE();
  } catch (const EbmREToken& e) {
    EXPECT_EQ(e.Token.Kind, tkErrInvalidCharClass);
  }
  // Everything but CR and LF, which a negated class never matches anyway.
  EXPECT_THROW(Standardized("[^\\x0-\\x9\\xB-\\xC\\xE-\\xFFFF]"), EbmREToken);
  EXPECT_NO_THROW(Standardized("[^\\x0-\\x9\\xB-\\xC\\xE-\\xFFFE]"));
}

TEST(Standardize, RefusesListsTheScannerNeverMakes) {
  TbmRETokens tokens;
  TbmREWchRanges ranges;
  EXPECT_THROW(tokens.Standardize(ranges), std::runtime_error);
  tokens.Add({tkNegLBracket, '[', '[', 0, 2});
  EXPECT_THROW(tokens.Standardize(ranges), std::runtime_error);
}

}  // namespace
}  // namespace parlevo
