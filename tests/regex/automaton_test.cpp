// The automaton's shape for small patterns, read through the matcher.
#include "regex/automaton.h"

#include <gtest/gtest.h>

#include <vector>

#include "regex/rexp.h"

namespace parlevo {
namespace {

using Transitions = std::vector<TbmRETransition>;

const TbmREDFATable& Compile(TbmRExp& re, const char* pattern) {
  re.SetPattern(pattern);
  return re.GetDFATable();
}

TEST(Automaton, Shapes) {
  for (const char* pattern : {"", "()"}) {
    TbmRExp re(bmccShiftJIS);
    const auto& dfa = Compile(re, pattern);
    ASSERT_EQ(dfa.size(), 1) << pattern;
    EXPECT_TRUE(dfa.State(0).Accepting);
    EXPECT_TRUE(dfa.State(0).Transitions.empty());
  }
  TbmRExp plus(bmccShiftJIS);
  const auto& a_plus = Compile(plus, "a+");
  ASSERT_EQ(a_plus.size(), 2);
  EXPECT_EQ(a_plus.State(0).Transitions, (Transitions{{'a', 'a', 1}}));
  EXPECT_FALSE(a_plus.State(0).Accepting);
  EXPECT_EQ(a_plus.State(1).Transitions, (Transitions{{'a', 'a', 1}}));
  EXPECT_TRUE(a_plus.State(1).Accepting);
}

TEST(Automaton, RangesSplitIntoThePartition) {
  TbmRExp re(bmccShiftJIS);
  const auto& dfa = Compile(re, "[a-c]x|[b-d]y");
  auto initial = dfa.State(0);
  ASSERT_EQ(initial.Transitions.size(), 3u);
  EXPECT_EQ(initial.Transitions[0].Lo, 'a');
  EXPECT_EQ(initial.Transitions[1].Lo, 'b');
  EXPECT_EQ(initial.Transitions[1].Hi, 'c');
  EXPECT_EQ(initial.Transitions[2].Lo, 'd');
  auto after_a = dfa.State(initial.NextState('a'));
  auto after_b = dfa.State(initial.NextState('c'));
  auto after_d = dfa.State(initial.NextState('d'));
  EXPECT_NE(after_a.NextState('x'), kNoState);
  EXPECT_EQ(after_a.NextState('y'), kNoState);
  EXPECT_NE(after_b.NextState('x'), kNoState);
  EXPECT_NE(after_b.NextState('y'), kNoState);
  EXPECT_EQ(after_d.NextState('x'), kNoState);
  EXPECT_NE(after_d.NextState('y'), kNoState);
}

TEST(Automaton, DotSkipsLineBreaks) {
  TbmRExp re(bmccShiftJIS);
  const auto& dfa = Compile(re, ".");
  EXPECT_EQ(dfa.State(0).Transitions, (Transitions{{0, 9, 1}, {11, 12, 1}, {14, 0xFFFF, 1}}));
}

TEST(Automaton, AnchorFlags) {
  struct Case {
    const char* pattern;
    bool head, tail;
  };
  const std::vector<Case> cases = {
      {"^a", true, false},     {"a^b", false, false}, {"(^a|b)c", true, false},
      {"a$", false, true},     {"a$b", false, false}, {"a$x*", false, false},
      {"^$", true, true},      {"^*", true, false},   {"(a|^)b", true, false},
      {"a($|b)", false, true},
  };
  for (const auto& c : cases) {
    TbmRExp re(bmccShiftJIS);
    const auto& dfa = Compile(re, c.pattern);
    EXPECT_EQ(dfa.HasLineHead, c.head) << c.pattern;
    EXPECT_EQ(dfa.HasLineTail, c.tail) << c.pattern;
  }
}

}  // namespace
}  // namespace parlevo
