// The tag scanner: depth rule, rescanning of results, stray and unclosed
// braces, the ANSI form of outer segments and the budgets of one expansion.
#include "engine/expand_tags.h"

#include <string>

#include "common/character_test_access.h"
#include "tag_fixture.h"

namespace parlevo {
namespace {

using ExpandTagsTest = TagTest;

TEST_F(ExpandTagsTest, ScanningRules) {
  ExpectAll({
      {"abc", "abc"},
      {"", ""},
      {"{NOTATAG}", "{NOTATAG}"},
      {"{}", "{}"},
      // An empty result stays literal at depth 1 and 2 and vanishes deeper.
      {"x{A{B{C}}}y", "x{A{B}}y"},
      {"{LENGTH:{XYZ}}", "5"},
      {"{LENGTH:{A{B}}}", "3"},
      {"{MEMO00:hi}{MEMO00}", "{MEMO00:hi}hi"},
      // Results are scanned again as part of the outer content.
      {"{+{*2|3}|1}", "7"},
      {"{{+1|2}+1|1}", "{3+1|1}"},
      {"{SCRIPTIZE:[+1|2]}", "3"},
      {"{SCRIPTIZE:[+1|[*2|3]]}", "7"},
      // Errors inside a tag: empty result, the tag is kept.
      {"{/1|0}", "{/1|0}"},
      {"a{/1|0}b{+1|1}", "a{/1|0}b2"},
      // A stray "}" empties everything; an unclosed "{" cuts the text.
      {"ab}cd", ""},
      {"{+1|2}x}", ""},
      {"x{SCRIPTIZE:a]b}", ""},
      {"ab{cd", "ab"},
      {"ab{cd{+1|2}", "ab"},
      {"{+1|2}{x", "3"},
      {"a{b{c", "a"},
      // Names are folded: case and width don't matter, blanks do.
      {"{now}", "2004/03/07 09:05:01"},
      {"{ＮＯＷ}", "2004/03/07 09:05:01"},
      {"{NOW }", "{NOW }"},
      // Full-width braces are ordinary characters.
      {"｛NOW｝", "｛NOW｝"},
  });
}

TEST_F(ExpandTagsTest, OuterSegmentsPassThroughTheCodePage) {
  ExpectAll({
      {"é", "é"},                   // the top-level text is never converted
      {"é{+1|2}", "?3"},            // but a segment in front of "{" is
      {"日本{+1|2}語", "日本3語"},  // double-byte text survives the round trip
      {"a😀{X}b", "a?{X}b"},
      // The surrogate pair shrinks to one "?" in front of the inner tag; the
      // outer tag is still replaced in the right place.
      {"<{LENGTH:😀{X}}>", "<4>"},
  });
}

TEST_F(ExpandTagsTest, EffectsStayWhenTheTextIsDropped) {
  EXPECT_EQ(Expand("ok{MEMO01:kept}}"), "");
  EXPECT_EQ(Expand("{MEMO01}"), "kept");
  EXPECT_EQ(Expand("a{b{MEMO02:also}"), "a");
  EXPECT_EQ(character.Memo(2), "also");
}

TEST_F(ExpandTagsTest, EveryDateTagOfOneCallSeesTheSameInstant) {
  EXPECT_EQ(Expand("{DATE} {TIME}|{YEAR}-{MONTH}-{DAY} {HOUR}:{MINUTE}:{SECOND} {YOUBI}"),
            "2004/03/07 09:05:01|2004-3-7 9:5:1 日曜");
}

TEST_F(ExpandTagsTest, ManyOrdinaryTagsAreWithinBudget) {
  std::string text, expected;
  for (int i = 0; i < 1000; ++i) text += "{+1|1}", expected += "2";
  EXPECT_EQ(Expand(text), expected);
}

// A tag whose result holds the tag again would be expanded without end.
TEST_F(ExpandTagsTest, SelfReproducingTextsEndWithinTheBudgets) {
  character.SetMemo(1, "{MEMO01}");  // same length each round: the tag budget ends it
  EXPECT_EQ(Expand("ab{MEMO01}"), "ab");

  character.SetMemo(1, "a{MEMO01}");  // grows one character per round
  std::string grown = Expand("{MEMO01}");
  EXPECT_EQ(grown, std::string(kMaxTagsPerExpansion, 'a'));

  character.SetMemo(1, "{MEMO01}" + std::string(200, 'b'));  // the length budget ends it
  EXPECT_EQ(Expand("x{MEMO01}"), "x");

  character.SetMemo(1, "<{LEFT9|{MEMO01}}>");  // runaway inside a tag
  EXPECT_EQ(Expand("p{LENGTH:{MEMO01}}q"), "p");

  // Each round consumes a long result and reproduces it: the scan budget.
  character.SetMemo(1, "{LENGTH:" + std::string(30000, 'x') + "}{MEMO01}");
  std::string counted = Expand("{MEMO01}");
  EXPECT_LT(counted.size(), size_t(kMaxScanSteps / 30000 * 5 + 5));
  EXPECT_EQ(counted.substr(0, 10), "3000030000");

  TCharacterTestAccess(character).SetLastAnswer("You said: {PREVANSWER}");
  std::string echoed = Expand(platform::AnsiToUtf8(character.LastAnswer()));
  EXPECT_LE(platform::Utf8ToWide(echoed).size(), kMaxWorkLength);
  EXPECT_EQ(echoed.rfind("You said: You said: ", 0), 0u);
}

TEST_F(ExpandTagsTest, ReplacementsThatShrinkAreAlwaysAllowed) {
  std::string big(kMaxWorkLength + 10, 'z');
  EXPECT_EQ(Expand(big + "{+1|1}"), big + "2");
  EXPECT_EQ(Expand("{LENGTH:" + big + "}"), std::to_string(big.size()));
}

}  // namespace
}  // namespace parlevo
