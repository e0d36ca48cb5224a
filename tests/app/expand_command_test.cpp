// parlevo-cli expand, run as a user runs it: results in order, memory carried
// from one text to the next and, with a character, kept in its state file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/run_cli.h"
#include "test_support.h"

namespace parlevo::test {
namespace {

using TRun = CliResult;

// The folder is the test's own; the program reads nothing from it.
TRun RunCli(const ScratchDir&, const std::vector<std::string>& args) { return RunParlevoCli(args); }

TEST(ExpandCommand, ExpandsEachTextInOrderWithOneCharacter) {
  ScratchDir dir;
  TRun run = RunCli(
      dir, {"--clock", "2004/03/07 09:05:01", "expand", "--", "{NOW} {YOUBI}", "{MEMO01:x}",
            "{MEMO01}{+1|2}", "a{BR}b", "-{CHOICEポテト}-", "é{+1|2}é", "ab}cd", "[a,{+1|1}]"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "2004/03/07 09:05:01 日曜\n{MEMO01:x}\nx3\na\r\nb\n-ポテト-\n?3é\n\n[a,2]\n");
}

// The character with no files starts when it is made, so {WORK} is 0
// minutes, not the minutes of the time of day.
TEST(ExpandCommand, WorkCountsFromWhenTheCharacterWasMade) {
  ScratchDir dir;
  TRun run = RunCli(dir, {"--clock", "2004/03/07 09:05:01", "expand", "{WORK}"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "0\n");
}

TEST(ExpandCommand, FrozenClockMakesRandomTagsReproducible) {
  ScratchDir dir;
  std::vector<std::string> args = {"--clock", "2004/03/07 09:05:01.250", "expand",
                                   "{RANDOMV:1000000}"};
  TRun first = RunCli(dir, args);
  TRun second = RunCli(dir, args);
  EXPECT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(first.out, second.out);
}

TEST(ExpandCommand, LoadedCharacterKeepsItsUpperMemoryInItsStateFile) {
  ScratchDir dir;
  std::string base = WriteCharacter(dir, "mika", {{"datac1", {"hello"}}});
  TRun set = RunCli(dir, {"expand", "--character", base, "{MEMO60:kept}{MEMO10:lost}"});
  ASSERT_EQ(set.status, 0) << set.err;
  TRun get = RunCli(dir, {"expand", "--character", base, "[{MEMO60}][{MEMO10}]"});
  EXPECT_EQ(get.status, 0) << get.err;
  EXPECT_EQ(get.out, "[kept][{MEMO10}]\n");
}

TEST(ExpandCommand, RefusedCharacterIsAnError) {
  ScratchDir dir;
  TRun run = RunCli(dir, {"expand", "--character", dir.File("nobody.ltc"), "{NOW}"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "error: " + dir.File("nobody.ltc") + ": characterfile is not found\n");
}

}  // namespace
}  // namespace parlevo::test
