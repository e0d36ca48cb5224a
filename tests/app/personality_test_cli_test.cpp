// parlevo-cli test, try and coverage run as an author runs them: every kind
// of script line and every script error, try's candidates in every object,
// and coverage of a small character whose answer is known.
#include <gtest/gtest.h>

#include "app/test_support.h"
#include "common/run_cli.h"
#include "platform/textfile.h"

namespace parlevo {
namespace {

using test::RunParlevoCli;

class PersonalityToolsTest : public ::testing::Test {
 protected:
  PersonalityToolsTest() {
    // Kind 0 opens, kind A follows its own opening, B answers "HI..." (two in
    // tier 1 of datab2) and C chats; a memo set by an answer must not stay.
    base_ = test::WriteCharacter(dir_, "kit",
                                 {{"data01", {"{EQ{OPERATEMESSAGE}|LCCALLED},READY{MEMO60:x}"}},
                                  {"dataa2", {"READY,GO,going", "READY,NOPE,never"}},
                                  {"datab2", {"^HI,hello", "^HI,hey", "{PRIOR},-", "^HI,hidden"}},
                                  {"datac2", {"chat"}}});
  }
  std::string Script(const std::string& text) { return dir_.WriteBytes("s.txt", text); }

  test::ScratchDir dir_;
  std::string base_;
};

TEST_F(PersonalityToolsTest, ScriptsCheckTextPatternAndSourceAndNeverWriteState) {
  const std::string passing = Script(
      "# every kind of line\n\n! clock 2026/01/02 10:00:00\n! partner Ann\n"
      "< READY\n@ data01.txt:1\n> go\n< going\n@ dataa2.txt:1\n> hi\n~ ^he(llo|y)$\n"
      "> unknown\n< chat\n>\n@ datac2.txt:1\n");
  auto run = RunParlevoCli({"test", base_, passing});
  EXPECT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_EQ(run.out, "7 checks, 0 failed\n");
  EXPECT_FALSE(platform::FileExists(dir_ / "kit/kit.lts"));

  const std::string failing = Script("> hi\n< nope\n~ z+\n@ datab2.txt:4\n@ none\n");
  run = RunParlevoCli({"--clock", "2026/01/02 10:00:00", "test", base_, failing});
  EXPECT_EQ(run.status, 1);
  const auto lines = run.OutLines();
  ASSERT_EQ(lines.size(), 5u) << run.out;
  EXPECT_TRUE(lines[0].starts_with(failing + ":2: expected \"nope\", got \"he")) << lines[0];
  EXPECT_TRUE(lines[0].ends_with("(from datab2.txt:1)") ||
              lines[0].ends_with("(from datab2.txt:2)"));
  EXPECT_TRUE(lines[1].starts_with(failing + ":3: expected a match of \"z+\", got ")) << lines[1];
  EXPECT_TRUE(lines[2].starts_with(failing + ":4: expected an answer from datab2.txt:4"))
      << lines[2];
  EXPECT_TRUE(lines[3].starts_with(failing + ":5: expected no answer, got ")) << lines[3];
  EXPECT_EQ(lines[4], "4 checks, 4 failed");
}

TEST_F(PersonalityToolsTest, ScriptErrorsSayWhereAndExitTwo) {
  const struct {
    std::string text, reason;
  } cases[] = {
      {"> hi\nhello\n", ":2: a line of no known kind"},
      {"! clock someday\n", ":1: invalid clock"},
      {"! weather fine\n", ":1: unknown setting"},
      {"~ (\n", ":1: pattern does not compile"},
      {"@ datab2.txt\n", ":1: expected FILE:LINE or none"},
  };
  for (const auto& c : cases) {
    const std::string script = Script(c.text);
    const auto run = RunParlevoCli({"test", base_, script});
    EXPECT_EQ(run.status, 2) << c.text;
    EXPECT_TRUE(run.err.starts_with("error: " + script + c.reason)) << run.err;
    EXPECT_EQ(run.out, "");
  }
  const auto missing = RunParlevoCli({"test", base_, dir_ / "none.txt"});
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.err.find("none.txt: cannot read the script"), std::string::npos) << missing.err;
}

TEST_F(PersonalityToolsTest, TryListsEveryMatchingEntryAndUsesNothingUp) {
  for (int i = 0; i < 2; ++i) {  // twice: nothing is used up or saved
    const auto run = RunParlevoCli({"try", "--context", "READY", base_, "hi go"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "dataa2 dataa2.txt:1 tier 1  READY,GO → going\n"
              "datab2 datab2.txt:1 tier 1  ^HI → hello\n"
              "datab2 datab2.txt:2 tier 1  ^HI → hey\n"
              "datab2 datab2.txt:4 tier 2  ^HI → hidden\n"
              "datac2 datac2.txt:1 tier 1   → chat\n"
              "answer: dataa2 tier 1, 1 candidates\n");
  }
  const auto opening = RunParlevoCli({"try", base_, "LCCalled"});
  EXPECT_NE(opening.out.find("data01 data01.txt:1 tier 1  {EQ{OPERATEMESSAGE}|LCCALLED} → READY"),
            std::string::npos)
      << opening.out;
  EXPECT_FALSE(platform::FileExists(dir_ / "kit/kit.lts"));
}

TEST_F(PersonalityToolsTest, CoverageCountsChosenEntriesAndNamesUnreachableOnes) {
  const std::string echo = test::WriteCharacter(dir_, "echo", {{"datab2", {"., HI"}}});
  const auto run = RunParlevoCli(
      {"--clock", "2026/01/02 10:00:00", "coverage", "--turns", "20", "--runs", "3", base_, echo});
  ASSERT_EQ(run.status, 0) << run.err;
  // kit hears "HI" every time: its opening, both "HI" entries at random, and
  // never the rest; "hidden" sits below a tier that always answers.
  EXPECT_EQ(run.out,
            "# kit\n"
            "data01.txt: 1/1 entries (100%)\n"
            "dataa2.txt: 0/2 entries (0%)\n"
            "datab2.txt: 2/3 entries (66%)\n"
            "datac2.txt: 0/1 entries (0%)\n"
            "dataa2.txt:1: never chosen\n"
            "dataa2.txt:2: never chosen\n"
            "datab2.txt:4: never chosen\n"
            "datac2.txt:1: never chosen\n"
            "# echo\n"
            "datab2.txt: 1/1 entries (100%)\n");
  EXPECT_FALSE(platform::FileExists(dir_ / "kit/kit.lts"));
  EXPECT_FALSE(platform::FileExists(dir_ / "echo/echo.lts"));
}

}  // namespace
}  // namespace parlevo
