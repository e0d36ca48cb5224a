// End-to-end runs of `parlevo-cli match`: output, exit status, error text.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "common/run_cli.h"
#include "common/scratch_dir.h"
#include "test_util.h"

namespace parlevo {
namespace {

using CliRun = test::CliResult;

CliRun RunCli(const std::vector<std::string>& args) { return test::RunParlevoCli(args); }

class CliMatch : public ::testing::Test {
 protected:
  void SetUp() override {
    if (access(PARLEVO_CLI, X_OK) != 0) GTEST_SKIP() << "parlevo-cli is not built";
  }
};

TEST_F(CliMatch, PrintsPositionAndLengthInCodePageBytes) {
  struct Case {
    std::vector<std::string> args;
    std::string out;
  };
  const std::vector<Case> cases = {
      {{"match", "(こんにちは|こんばんは)", "やあ、こんばんは"}, "7 10\n"},
      {{"match", "xyz", "abc"}, "0 0\n"},
      {{"match", "--from", "2", "^b", "bb"}, "0 0\n"},
      {{"match", "--from", "3", "--", "-", "--x-"}, "4 1\n"},
      {{"--codepage", "1252", "match", "é+", "caféé"}, "4 2\n"},
  };
  for (const auto& c : cases) {
    CliRun run = RunCli(c.args);
    EXPECT_EQ(run.status, 0) << c.args.back();
    EXPECT_EQ(run.out, c.out) << c.args.back();
  }
}

TEST_F(CliMatch, SyntaxErrorExitsTwoWithTheKindName) {
  CliRun run = RunCli({"match", "[ab", "abc"});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "error: need right bracket \"]\" \n");
}

// The patterns of a file, as written: no folding, no "#" expansion; a bad one
// is reported with its line and never matches.
TEST_F(CliMatch, SetPrintsTheLinesOfThePatternsFound) {
  test::ScratchDir dir("cli-match-set");
  const std::string file =
      dir.Write("patterns.txt", {testing::Sjis("こんにちは"), "abc", "[ab", "x##", "Abc",
                                 testing::Sjis("(ポ|ソ)$"), "^a", "x*"});
  CliRun run = RunCli({"match", "--set", file, "abc こんにちは ソ"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "1\n2\n6\n7\n8\n");
  EXPECT_EQ(run.err, file + ":3: need right bracket \"]\" \n");
  // Nothing found prints nothing; "--" lets a text begin with "-".
  run = RunCli({"match", "--set", file, "--", "-x"});
  EXPECT_EQ(run.out, "8\n");
  run = RunCli({"match", "--set", dir / "patterns.txt", "zzz", "extra"});
  EXPECT_EQ(run.status, 2);
  run = RunCli({"match", "--set", dir / "missing.txt", "abc"});
  EXPECT_EQ(run.status, 1);
}

}  // namespace
}  // namespace parlevo
