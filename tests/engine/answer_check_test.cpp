// Checks of answers and conditions as written: each finding with the tag it
// is about, and none for the well-formed texts of the sample characters.
#include "engine/answer_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/codepage.h"

namespace parlevo {
namespace {

struct TCase {
  const char* text;     // UTF-8
  const char* finding;  // part of the one finding expected; "" for none
};

void ExpectFindings(std::vector<TTextProblem> (*check)(std::string_view),
                    const std::vector<TCase>& cases) {
  for (const TCase& c : cases) {
    const std::vector<TTextProblem> found = check(platform::Utf8ToAnsi(c.text));
    if (std::string(c.finding).empty()) {
      EXPECT_TRUE(found.empty()) << c.text << ": " << platform::AnsiToUtf8(found[0].Message);
      continue;
    }
    ASSERT_EQ(found.size(), 1u) << c.text;
    EXPECT_NE(platform::AnsiToUtf8(found[0].Message).find(c.finding), std::string::npos)
        << c.text << ": " << platform::AnsiToUtf8(found[0].Message);
  }
}

TEST(AnswerCheck, FindsBracesTagsAndConditionsThatCannotWork) {
  ExpectFindings(
      CheckAnswer,
      {
          // Well-formed answers, some with names made by inner tags.
          {"{COUNT50++}今日で{COUNT50}回目だね。", ""},
          {"{SCRIPTIZE:{IF{RANDOMB:50}[COUNT52++]元気！|[MEMO10:ねむい]眠い。}}", ""},
          {"{IF{=={%{COUNT20}|4}|0}ねえ|{IF{=={%{COUNT20}|4}|1}クイズ！|次！}}", ""},
          {"{NOT:{FLAG50}}{IF{EQ{MEMO51}|}まだ|「{MEMO51}」}", ""},
          {"{MEMO53:{PREV}}{LEFT2|{PREV}}×{MID6|2|{PREV}}", ""},
          {"{{MEMO01}}", ""},        // a name from a tag is not judged
          {"{ENTRUS{MEMO01}}", ""},  // nor one that a tag may complete
          {"ｎｏｗ：{ｎｏｗ}", ""},
          // Findings.
          {"abc}def", "\"}\" at character 4 closes no tag"},
          {"ab{NOW", "\"{\" at character 3 is never closed"},
          {"今は{NOWW}です", "unknown tag {NOWW}"},
          {"{NOW }", "unknown tag {NOW }"},
          {"{CHOISE:a|b}",
           "unknown tag {CHOISE:a|b}: no tag function has this name, so it "
           "stays as written; did you mean CHOICE?"},
          {"{ｎｏｗｗ}", "did you mean NOW?"},
          {"{IF{==%{COUNT20}|3}|0}", "condition {==%{COUNT20}|3} can never be True or False"},
          {"{IF{+1|2}yes|no}", "condition {+1|2} gives a number"},
          {"{NOT:{+1|2}}", "condition {+1|2} gives a number"},
          {"{IF{==1|1}yes|no}", "condition {==1|1} is always True: it compares fixed values"},
      });
}

TEST(AnswerCheck, AConditionMustBeAbleToBeExactlyTrue) {
  ExpectFindings(CheckCondition, {
                                     {"{AND{EQ{OPERATEMESSAGE}|LCCALLED}|{<{HOUR}|11}}", ""},
                                     {"{FLAG51}", ""},
                                     {"True", ""},
                                     {"{MEMO05}", ""},  // a memo may hold "True"
                                     {"LCCALLED", "has no tag, so it is never True"},
                                     {"{FLAG51} ", "text around its tag"},
                                     {"{COUNT50}", "gives a number"},
                                     {"{BIRTHDAY}", "gives a number or a date"},
                                     {"{RANDOMX:5}", "gives nothing"},
                                     {"{>=ねこ|3}", "an operand is no number"},
                                     {"{FLGA51}", "unknown tag {FLGA51}"},
                                 });
}

}  // namespace
}  // namespace parlevo
