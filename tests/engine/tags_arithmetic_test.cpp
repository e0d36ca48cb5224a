// Arithmetic, real functions, comparisons, logic and random tags.
#include <set>
#include <string>

#include "platform/random.h"
#include "tag_fixture.h"

namespace parlevo {
namespace {

using ArithmeticTagsTest = TagTest;

TEST_F(ArithmeticTagsTest, Operators) {
  ExpectAll({
      {"{+1|2}", "3"},
      {"{-1|2}", "-1"},
      {"{--1|2}", "-3"},
      {"{/1|3}", "0.333333333333333"},
      {"{*0.1|3}", "0.3"},
      {"{+1e3|0}", "1000"},
      {"{+1|}", "{+1|}"},
      {"{+1}", "{+1}"},
      {"{\\7|2}", "3"},
      {"{\\-7|2}", "-3"},
      {"{%-7|2}", "-1"},
      {"{%7|0}", "{%7|0}"},
      {"{\\$10|0x4}", "4"},
      {"{\\7.5|2}", "{\\7.5|2}"},
      {"{^2|10}", "1024"},
      {"{^2|-1}", "0.5"},
      {"{^-2|3}", "-8"},
      {"{^4|0.5}", "2"},
      {"{^-8|0.5}", "{^-8|0.5}"},
      {"{^0|0}", "1"},
      {"{^0|-1}", "{^0|-1}"},
      {"{=1|1}", "{=1|1}"},
      {"{!1|2}", "{!1|2}"},
  });
}

// Overflow, invalid operations and division by zero end as an empty result
// (the tag stays), never as an infinity or NaN text, and never as a trap.
TEST_F(ArithmeticTagsTest, FloatingPointFaultsGiveEmptyResults) {
  for (const char* text :
       {"{/1|0}", "{/0|0}", "{*1E300|1E300}", "{+1E308|1E308}", "{^10|400}", "{^0.5|-2000}",
        "{EXP:1000}", "{SQR:1E200}", "{SQRT:-1}", "{ARCSIN:2}", "{ARCCOS:-1.5}", "{LOG1|5}",
        "{LOG0|5}", "{LOG10|0}", "{TAN:1E400}", "{+1|inf}", "{+1|nan}"}) {
    EXPECT_EQ(Expand(text), text);
  }
}

TEST_F(ArithmeticTagsTest, RealFunctions) {
  ExpectAll({
      {"{ABS:-2.5}", "2.5"},
      {"{SIN:0}|{COS:0}|{TAN:0}", "0|1|0"},
      {"{SIN:1E19}|{COS:-1E19}", "0|0"},
      {"{ARCSIN:1}", "1.5707963267949"},
      {"{ARCCOS:1}", "0"},
      {"{ARCTAN:1}", "0.785398163397448"},
      {"{SQR:-3}", "9"},
      {"{SQRT:2}", "1.4142135623731"},
      {"{EXP:0}", "1"},
      {"{LOG10|1000}", "3"},
      {"{LOG2|0.25}", "-2"},
      {"{MAX1|2}|{MIN1|2}", "2|1"},
      {"{PI}", "3.14159265358979"},
      {"{ROUND:2.5}|{ROUND:-2.5}|{ROUND:2.4}", "3|-3|2"},
      {"{TRUNC:-2.7}|{TRUNC:1E18}", "-2|1000000000000000000"},
      {"{CEIL:1.2}|{CEIL:-1.2}|{FLOOR:-1.2}|{FLOOR:1.8}", "2|-1|-2|1"},
      {"{FLOOR:-2147483648}|{CEIL:2147483647}", "-2147483648|2147483647"},
  });
  // Outside the range of the result type: an error, so the tag stays.
  for (const char* text :
       {"{CEIL:3000000000}", "{CEIL:2147483647.5}", "{FLOOR:-2147483648.5}", "{ROUND:1E19}",
        "{TRUNC:-1E19}", "{\\-2147483648|-1}", "{%-2147483648|-1}", "{CEIL:x}"}) {
    EXPECT_EQ(Expand(text), text);
  }
}

TEST_F(ArithmeticTagsTest, ComparisonsAndLogic) {
  ExpectAll({
      {"{==1|1.0}", "True"},
      {"{!=1|1}", "False"},
      {"{<1|2}|{<=2|2}|{>1|2}|{>=2|2}", "True|True|False|True"},
      {"{>=a|1}", "{>=a|1}"},
      {"{ANDTRUE|TRUE}", "True"},
      {"{ANDTRUE|FALSE}", "False"},
      {"{ORfalse|true}", "True"},
      {"{XORtrue|true}", "False"},
      {"{XORtrue|false}", "True"},
      {"{AND|}", "False"},
      {"{AND{==1|1}|{<1|2}}", "True"},
      {"{NOT:{==1|1}}", "True"},
      {"{NOT:TRUE}|{NOT:FALSE}", "True|False"},
      {"{NOT:MAYBE}", "{NOT:MAYBE}"},
  });
}

TEST_F(ArithmeticTagsTest, RandomBounds) {
  for (int ms = 0; ms < 1000; ms += 97) {
    Freeze({2004, 3, 7, 9, 5, 1, ms});
    ExpectAll({
        {"{RANDOMB:0}|{RANDOMB:-5}", "False|False"},
        {"{RANDOMB:100}|{RANDOMB:1000}", "True|True"},
        {"{RANDOMV:1}|{RANDOMV:0}|{RANDOMV:-7}", "0|0|0"},
        {"{CHOICE}", "{CHOICE}"},
        {"{RANDOMX:1}", "{RANDOMX:1}"},
    });
    int big = std::stoi(Expand("{RANDOMV:2147483647}"));
    EXPECT_GE(big, 0);
    std::string item = Expand("{CHOICEa|b|c}");
    EXPECT_TRUE(item == "a" || item == "b" || item == "c") << item;
    std::string food = Expand("{CHOICEポテト|ごはん}");
    EXPECT_TRUE(food == "ポテト" || food == "ごはん") << food;
  }
}

// Each random tag re-seeds first, and a re-seed within the same millisecond
// still starts from a new state.
TEST_F(ArithmeticTagsTest, RandomTagsReseedFirst) {
  const uint32_t seed = platform::NextSeed();
  platform::SetRandomState(seed);
  const int expected = platform::RandomInt(1000);
  EXPECT_EQ(Expand("{RANDOMV:1000}"), std::to_string(expected));
  std::set<std::string> pairs;
  for (int i = 0; i < 40; ++i) pairs.insert(Expand("{CHOICEx|y}{CHOICEx|y}"));
  EXPECT_EQ(pairs, (std::set<std::string>{"xx", "xy", "yx", "yy"}));
  EXPECT_EQ(Expand("{CHOICE:a}"), ":a");
}

}  // namespace
}  // namespace parlevo
