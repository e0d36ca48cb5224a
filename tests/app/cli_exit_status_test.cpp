// parlevo-cli's exit statuses tell what happened: a run whose state file could
// not be saved, a --set file with no pattern that compiles, each --help's table.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/run_cli.h"
#include "common/scratch_dir.h"

namespace {

namespace fs = std::filesystem;
using parlevo::test::CliResult;
using parlevo::test::RunParlevoCliAfter;

// A file size limit of 1 KiB stands in for a full disk: a state file with a
// long memo cannot be written, while standard error still can.
constexpr char kNoRoom[] = "trap '' XFSZ; ulimit -f 1;";

TEST(CliExitStatus, SaysWhenAStateFileWasNotSavedOrNoPatternCompiles) {
  parlevo::test::ScratchDir dir("parlevo-exit");
  fs::copy(fs::path(PARLEVO_TEST_DATA) / "data" / "characters", dir.Path(),
           fs::copy_options::recursive);
  const std::string hanako = dir.Path() / "hanako.ltc";
  const std::string taro = dir.Path() / "taro.txt";
  const std::string memo(3000, 'x');
  auto run = [](const std::vector<std::string>& args, const std::string& prefix = kNoRoom,
                const std::string& input = "") { return RunParlevoCliAfter(prefix, args, input); };
  auto expect_not_saved = [](const CliResult& result, const std::string& why) {
    EXPECT_EQ(result.status, 3) << result.err;
    EXPECT_NE(result.err.find("hanako.lts\" " + why), std::string::npos) << result.err;
    EXPECT_FALSE(result.out.empty());
  };

  // The run ends as usual, says which file was not saved and why, and exits 3.
  expect_not_saved(run({"chat", "--partner", "p", hanako}, kNoRoom, "おぼえて" + memo + "\n"),
                   "was not saved");
  expect_not_saved(run({"expand", "--character", hanako, "{MEMO51:" + memo + "}"}),
                   "was not saved");
  const fs::path state = dir.Path() / "hanako" / "hanako.lts";
  fs::remove(state);
  ASSERT_EQ(::mkfifo(state.c_str(), 0600), 0);
  expect_not_saved(run({"converse", "--turns", "4", "--interval", "0", hanako, taro}, ""),
                   "is not a regular file");
  fs::remove(state);
  // Nothing to save, nothing failed.
  EXPECT_EQ(run({"chat", "--no-save", "--partner", "p", hanako}, kNoRoom, memo).status, 0);
  EXPECT_EQ(run({"expand", "--character", hanako, "{NAME}"}, "").status, 0);

  // A set of patterns none of which compiles is a usage error; one is enough.
  const std::string bad = dir.Write("bad.txt", std::vector<std::string>{"(", "[a"});
  const CliResult none = run({"match", "--set", bad, "abc"}, "");
  EXPECT_EQ(none.status, 2);
  EXPECT_NE(none.err.find("error: " + bad + ": no pattern that compiles"), std::string::npos)
      << none.err;
  const std::string one = dir.Write("one.txt", std::vector<std::string>{"(", "b"});
  const CliResult found = run({"match", "--set", one, "abc"}, "");
  EXPECT_EQ(found.status, 0);
  EXPECT_EQ(found.out, "2\n");

  // Every command's help lists its exit statuses.
  for (const char* command :
       {"match", "expand", "check", "convert", "chat", "converse", "test", "try", "coverage"}) {
    const CliResult help = run({command, "--help"}, "");
    EXPECT_NE(help.out.find("Exit status:\n  0  "), std::string::npos) << command;
    EXPECT_NE(help.out.find("\n  2  a usage error"), std::string::npos) << command;
  }
}

}  // namespace
