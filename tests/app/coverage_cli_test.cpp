// parlevo-cli coverage end to end: why each entry was never chosen (behind an
// entry that always answers, only when opening, a condition never true and
// the tags it reads), the list cut with "… and N more", and the same report
// however many processes the runs are spread over.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/test_support.h"
#include "common/run_cli.h"

namespace parlevo {
namespace {

using test::RunParlevoCli;

TEST(CoverageCommand, SaysWhyAndReportsTheSameOverAnyNumberOfJobs) {
  test::ScratchDir dir;
  const std::string cov = test::WriteCharacter(
      dir, "cov",
      {{"data01", test::CodePageLines(
                      {"{EQ{OPERATEMESSAGE}|LCCALLED},hello", "{EQ{OPERATEMESSAGE}|LCCALLED},hi"})},
       {"data02", test::CodePageLines({"{>{COUNT60}|0},また来たね", "{EQ{MONTH}|2},二月だね"})},
       {"datab2", test::CodePageLines({"\"\",いつも", "{PRIOR},-", "^PING,behind"})},
       {"datac2", test::CodePageLines({"chat"})}});
  const std::string echo = test::WriteCharacter(dir, "echo", {{"datab2", {".,PING"}}});
  auto coverage = [&](const std::vector<std::string>& more) {
    std::vector<std::string> args = {"--clock", "2026/01/02 10:00:00", "coverage", "--turns", "10"};
    args.insert(args.end(), more.begin(), more.end());
    args.insert(args.end(), {cov, echo});
    const test::CliResult run = RunParlevoCli(args);
    EXPECT_EQ(run.status, 0) << run.err;
    // Files outside the current folder are named by their full path; the
    // checks below read them relative to the characters' folder.
    std::string out = run.out;
    const std::string folder = (dir.Path() / "cov").string() + "/";
    for (size_t at; (at = out.find(folder)) != std::string::npos;) out.erase(at, folder.size());
    return out;
  };

  const std::vector<std::string> lines =
      test::SplitOutputLines(coverage({"--runs", "1", "--jobs", "1"}));
  ASSERT_EQ(lines.size(), 12u) << coverage({"--runs", "1", "--jobs", "1"});
  EXPECT_EQ(lines[0], "# cov");
  EXPECT_EQ(lines[1], "data01.txt: 1/2 entries (50%)");
  // The opening drew one of its two greetings; the other only opens.
  EXPECT_TRUE(lines[5] ==
                  "data01.txt:1: never chosen (only when opening: matched 1 time but "
                  "never drawn)" ||
              lines[5] ==
                  "data01.txt:2: never chosen (only when opening: matched 1 time but "
                  "never drawn)")
      << lines[5];
  EXPECT_EQ(lines[6],
            "data02.txt:1: never chosen (its condition was never true in these runs; it reads "
            "memory {COUNT60})");
  EXPECT_EQ(lines[7],
            "data02.txt:2: never chosen (its condition was never true in these runs; it reads "
            "the clock {MONTH})");
  EXPECT_EQ(lines[8], "datab2.txt:3: never chosen (behind datab2.txt:1, which always answers)");
  EXPECT_EQ(lines[9],
            "datac2.txt:1: never chosen (behind datab2.txt:1, which always answers, in datab2)");
  EXPECT_EQ(lines[10], "# echo");

  const std::string cut = coverage({"--runs", "1", "--list", "2"});
  EXPECT_NE(cut.find("data02.txt:1: never chosen"), std::string::npos) << cut;
  EXPECT_EQ(cut.find("data02.txt:2: never chosen"), std::string::npos) << cut;
  EXPECT_NE(cut.find("\n… and 3 more\n# echo\n"), std::string::npos) << cut;

  // Runs seeded by their own start: one process, three, or one per core.
  const std::string one = coverage({"--runs", "5", "--jobs", "1"});
  EXPECT_EQ(coverage({"--runs", "5", "--jobs", "3"}), one);
  EXPECT_EQ(coverage({"--runs", "5"}), one);
}

}  // namespace
}  // namespace parlevo
