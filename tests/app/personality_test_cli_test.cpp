// parlevo-cli test, try and coverage run as an author runs them: every kind
// of script line and every script error, try's candidates in every object,
// and coverage of a small character whose answer is known.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

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
  EXPECT_EQ(run.out, passing + ": 7 checks, 0 failed\n7 checks, 0 failed\n");
  EXPECT_FALSE(platform::FileExists(dir_ / "kit/kit.lts"));

  const std::string failing = Script("> hi\n< nope\n~ z+\n@ datab2.txt:4\n@ none\n");
  run = RunParlevoCli({"--clock", "2026/01/02 10:00:00", "test", base_, failing});
  EXPECT_EQ(run.status, 1);
  const auto lines = run.OutLines();
  ASSERT_EQ(lines.size(), 6u) << run.out;
  EXPECT_TRUE(lines[0].starts_with(failing + ":2: expected \"nope\", got \"he")) << lines[0];
  // The source check takes the base file's name; the failure, the path.
  EXPECT_TRUE(lines[0].ends_with("(from " + dir_ / "kit/datab2.txt:1)") ||
              lines[0].ends_with("(from " + dir_ / "kit/datab2.txt:2)"))
      << lines[0];
  EXPECT_TRUE(lines[1].starts_with(failing + ":3: expected a match of \"z+\", got ")) << lines[1];
  EXPECT_TRUE(lines[2].starts_with(failing + ":4: expected an answer from datab2.txt:4"))
      << lines[2];
  EXPECT_TRUE(lines[3].starts_with(failing + ":5: expected no answer, got ")) << lines[3];
  EXPECT_EQ(lines[4], failing + ": 4 checks, 4 failed");
  EXPECT_EQ(lines[5], "4 checks, 4 failed");
}

// Every script runs and gets its result line, whatever the others' fate.
TEST_F(PersonalityToolsTest, ScriptsThatCannotRunAreReportedBesideTheOthersAndExitTwo) {
  const struct {
    std::string name, text, reason;
  } cases[] = {
      {"kind.txt", "> hi\nhello\n", ":2: not run: a line of no known kind"},
      {"clock.txt", "! clock someday\n< x\n", ":1: not run: invalid clock"},
      {"setting.txt", "! weather fine\n< x\n", ":1: not run: unknown setting"},
      {"pattern.txt", "~ (\n", ":1: not run: pattern does not compile"},
      {"source.txt", "@ datab2.txt\n", ":1: not run: expected FILE:LINE or none"},
      {"slot.txt", "! set SLOT50 1\n< x\n", ":1: not run: expected MEMOnn, COUNTnn or FLAGnn"},
      {"count.txt", "! set COUNT50 many\n< x\n", ":1: not run: a count must be a number"},
      {"flag.txt", "! set FLAG50 yes\n< x\n", ":1: not run: a flag must be True or False"},
      {"expect.txt", "? {COUNT50}\n", ":1: not run: expected TEXT = VALUE after ?"},
      {"empty.txt", "# nothing yet\n> hi\n", ": not run: no checks"},
  };
  std::vector<std::string> args = {"test", base_};
  for (const auto& c : cases) args.push_back(dir_.WriteBytes(c.name, c.text));
  const std::string good = dir_.WriteBytes("good.txt", "> hi\n< nope\n");
  args.push_back(good);
  args.push_back(dir_ / "none.txt");
  auto run = RunParlevoCli(args);
  EXPECT_EQ(run.status, 2) << run.out << run.err;
  const auto lines = run.OutLines();
  ASSERT_EQ(lines.size(), std::size(cases) + 4) << run.out;
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_TRUE(lines[i].starts_with(dir_ / cases[i].name + cases[i].reason)) << lines[i];
  }
  EXPECT_TRUE(lines[std::size(cases)].starts_with(good + ":2: expected \"nope\""));
  EXPECT_EQ(lines[std::size(cases) + 1], good + ": 1 check, 1 failed");
  EXPECT_TRUE(lines[std::size(cases) + 2].starts_with(dir_ / "none.txt: not run: cannot read"));
  EXPECT_EQ(lines.back(), "1 check, 1 failed, 11 scripts not run");

  // A character that cannot be loaded is every script's reason.
  run = RunParlevoCli({"test", dir_ / "gone.ltc", good, good});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, good + ": not run: " + dir_ / "gone.ltc: characterfile is not found\n" + good +
                         ": not run: " + dir_ / "gone.ltc: characterfile is not found\n" +
                         "0 checks, 0 failed, 2 scripts not run\n");
}

// A script starts from a first meeting whatever was saved, sets memory,
// asserts on it and starts again; --state starts from the saved state,
// which is never written. Scripts with the byte order mark are read.
TEST_F(PersonalityToolsTest, ScriptsStartFreshSetMemoryAndAssertOnIt) {
  const std::string shop =
      test::WriteCharacter(dir_, "shop",
                           {{"data01",
                             {"{EQ{COUNT50}|0},\"first visit{COUNT50++}\"",
                              "{>{COUNT50}|0},\"visit {COUNT50++}{COUNT50}{IF{FLAG51} again|}\""}},
                            {"datac2", {"{MEMO60}"}}});
  ASSERT_EQ(RunParlevoCli({"chat", "--partner", "Ann", shop}, "hi\n").status, 0);
  const std::string saved = dir_.Read("shop/shop.lts");
  ASSERT_FALSE(saved.empty());

  const std::string script = dir_.WriteBytes(
      "memory.txt",
      "\xEF\xBB\xBF# a first meeting, then memory set before it opens again\n"
      "< first visit\n? {COUNT50} = 1\n"
      "! fresh\n! set COUNT50 4\n! set FLAG51 true\n! set MEMO60 plain talk\n"
      "< visit 5 again\n? {FLAG51} = True\n> anything\n< plain talk\n"
      "! set COUNT50 -2.5\n? {COUNT50} = -2.5\n! set FLAG51 False\n? {FLAG51} = True\n");
  auto run = RunParlevoCli({"test", shop, script});
  EXPECT_EQ(run.status, 1) << run.out << run.err;
  EXPECT_EQ(run.out, script + ":15: expected \"True\" from \"{FLAG51}\", got \"False\"\n" + script +
                         ": 7 checks, 1 failed\n7 checks, 1 failed\n");

  const std::string first = dir_.WriteBytes("first.txt", "< first visit\n");
  run = RunParlevoCli({"test", shop, first});
  EXPECT_EQ(run.status, 0) << run.out;
  run = RunParlevoCli({"test", "--state", shop, first});
  EXPECT_EQ(run.status, 1) << run.out;
  EXPECT_NE(run.out.find("got \"visit 3\""), std::string::npos) << run.out;  // chat said "hi" too
  EXPECT_EQ(dir_.Read("shop/shop.lts"), saved);
}

// Counts the times `what` occurs in `text`.
size_t Occurrences(const std::string& text, const std::string& what) {
  size_t count = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
  return count;
}

// test --watch runs again when a data file or a script changes, and ends
// cleanly on a termination signal with the last run's status.
TEST_F(PersonalityToolsTest, WatchRunsAgainWhenAFileOfTheCharacterChanges) {
  const std::string script = Script("> hi there\n~ ^he\n");
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    freopen((dir_ / "watch.out").c_str(), "w", stdout);
    freopen((dir_ / "watch.err").c_str(), "w", stderr);
    execl(PARLEVO_CLI, PARLEVO_CLI, "test", "--watch", base_.c_str(), script.c_str(),
          static_cast<char*>(nullptr));
    _exit(127);
  }
  // Generous: the machine may be busy; nothing here measures time.
  const auto wait_for = [this](const char* file, const std::string& what, size_t times) {
    const auto give_up = std::chrono::steady_clock::now() + test::kPatience;
    while (Occurrences(dir_.Read(file), what) < times) {
      if (std::chrono::steady_clock::now() > give_up) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
  };
  // Each run's total, then the watch waiting again before the next change.
  const auto ran = [&](const std::string& total, size_t times, size_t waits) {
    EXPECT_TRUE(wait_for("watch.out", "\n" + total + "\n", times)) << dir_.Read("watch.out");
    EXPECT_TRUE(wait_for("watch.err", "# watching", waits)) << dir_.Read("watch.err");
  };
  ran("1 check, 0 failed", 1, 1);
  dir_.Write("kit/datab2.txt", {"^HI,bye"});  // the answer changes
  ran("1 check, 1 failed", 1, 2);
  Script("> hi there\n< bye\n");  // and the script follows it
  ran("1 check, 0 failed", 2, 3);
  kill(child, SIGTERM);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << dir_.Read("watch.err");
  EXPECT_GE(Occurrences(dir_.Read("watch.err"), "# changed: running again"), 2u);
}

TEST_F(PersonalityToolsTest, TryListsEveryMatchingEntryAndUsesNothingUp) {
  for (int i = 0; i < 2; ++i) {  // twice: nothing is used up or saved
    const auto run = RunParlevoCli({"try", "--context", "READY", base_, "hi go"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string kit = dir_ / "kit/";
    EXPECT_EQ(run.out, "dataa2 " + kit + "dataa2.txt:1 tier 1  READY,GO → going\n" + "datab2 " +
                           kit + "datab2.txt:1 tier 1  ^HI → hello\n" + "datab2 " + kit +
                           "datab2.txt:2 tier 1  ^HI → hey\n" + "datab2 " + kit +
                           "datab2.txt:4 tier 2  ^HI → hidden\n" +
                           "datac2 tier 1: 1 candidate (free talk)\n" +
                           "answer: dataa2 tier 1, 1 candidate\n");
  }
  const auto opening = RunParlevoCli({"try", base_, "LCCalled"});
  EXPECT_NE(opening.out.find("data01 " + dir_ / "kit/data01.txt:1 tier 1  "
                                                "{EQ{OPERATEMESSAGE}|LCCALLED} → READY"),
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
  const std::string kit = dir_ / "kit/";
  EXPECT_EQ(run.out, "# kit\n" + kit + "data01.txt: 1/1 entries (100%)\n" + kit +
                         "dataa2.txt: 0/2 entries (0%)\n" + kit +
                         "datab2.txt: 2/3 entries (66%)\n" + kit +
                         "datac2.txt: 0/1 entries (0%)\n" + kit + "dataa2.txt:1: never chosen\n" +
                         kit + "dataa2.txt:2: never chosen\n" + kit +
                         "datab2.txt:4: never chosen\n" + kit + "datac2.txt:1: never chosen\n" +
                         "# echo\n" + dir_ / "echo/" + "datab2.txt: 1/1 entries (100%)\n");
  EXPECT_FALSE(platform::FileExists(dir_ / "kit/kit.lts"));
  EXPECT_FALSE(platform::FileExists(dir_ / "echo/echo.lts"));
}

}  // namespace
}  // namespace parlevo
