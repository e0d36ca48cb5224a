// The constant-condition judge against the tag language itself: every
// comparison it calls constant is expanded at instants all over a year, with
// a flag set and clear, and must give that value every time.
#include "engine/constant_condition.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tag_fixture.h"

namespace parlevo {
namespace {

class ConstantConditionTest : public TagTest {};

TEST_F(ConstantConditionTest, EveryVerdictHoldsWheneverTheTagsRun) {
  const std::vector<std::string> operators = {"==", "!=", "<", "<=", ">", ">=", "EQ", "NE"};
  const std::vector<std::string> tags = {"{HOUR}",   "{MINUTE}", "{SECOND}",
                                         "{MONTH}",  "{DAY}",    "{YOUBI}",
                                         "{FLAG60}", "{YEAR}",   "{ALLOWEXECUTE}"};
  const std::vector<std::string> fixed = {"-1",     "0",    "1",   "12",   "13",  "23",
                                          "24",     "31",   "32",  "59",   "60",  "月曜",
                                          "土曜日", "true", "yes", "2004", "1.5", "{==1|1}"};
  std::vector<std::string> conditions = {"{==1|2}", "{AND{FLAG60}|False}", "{OR True|{FLAG60}}",
                                         "{XOR{NOT:TRUE}|{NOT:FALSE}}", "{EQ abc|ABC}"};
  for (const std::string& op : operators) {
    for (const std::string& tag : tags) {
      for (const std::string& value : fixed) {
        conditions.push_back("{" + op + tag + "|" + value + "}");
        conditions.push_back("{" + op + value + "|" + tag + "}");
      }
    }
  }
  int verdicts = 0;
  for (const std::string& condition : conditions) {
    const std::optional<TConstantTruth> verdict = ConstantTruth(platform::Utf8ToWide(condition));
    if (!verdict) continue;
    ++verdicts;
    const std::string expected = verdict->Value ? "True" : "False";
    for (int month = 1; month <= 12; ++month) {
      for (int day : {1, 15, 28, 31}) {
        for (int hour : {0, 11, 23}) {
          if (day == 31 && (month == 2 || month == 4 || month == 6 || month == 9 || month == 11)) {
            continue;
          }
          Freeze({2004, month, day, hour, hour * 2, 59 - hour, 0});
          character.SetFlag(60, day % 2 == 1);
          ASSERT_EQ(Expand(condition), expected) << condition << " " << verdict->Why;
        }
      }
    }
  }
  EXPECT_GT(verdicts, 200) << "the judge found too little to be tested";

  // Too many operands are told, never judged constant.
  EXPECT_TRUE(WrongArity(u"{==1|2|3}"));
  EXPECT_TRUE(WrongArity(u"{EQ{YOUBI}|土曜|日曜}"));
  EXPECT_FALSE(WrongArity(u"{EQ{MEMO50}|{CHOICE a|b}}"));
  EXPECT_FALSE(ConstantTruth(u"{EQ{YOUBI}|土曜}"));
  EXPECT_FALSE(ConstantTruth(u"{<{HOUR}|12}"));
}

}  // namespace
}  // namespace parlevo
