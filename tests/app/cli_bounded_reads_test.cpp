// What parlevo-cli reads beside a personality stays within its budgets: test
// scripts and pattern lists within the file budget, chat's input lines
// within 1 MiB, and a list of blank lines costs next to nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/run_cli.h"
#include "common/scratch_dir.h"

namespace {

using parlevo::test::CliResult;
using parlevo::test::RunParlevoCliAfter;

// Far below what an unbounded read of these inputs took (gigabytes). A
// sanitizer reserves more address space than that for itself.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr char kMemoryCap[] = "";
#else
constexpr char kMemoryCap[] = "ulimit -v 262144;";
#endif

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(CliBoundedReads, ScriptsSetFilesAndChatLinesStayWithinTheirBudgets) {
  parlevo::test::ScratchDir dir("parlevo-bounded");
  const std::string base = dir.Write(
      "e.ltc",
      std::vector<std::string>{"name", "e", "version", "210", "folder", "e", "datab1", "b.txt"});
  dir.Write("e/b.txt", std::vector<std::string>{"hi,hello"});

  // An endless script is refused at the budget, naming it.
  const CliResult endless = RunParlevoCliAfter(kMemoryCap, {"test", base, "/dev/zero"});
  EXPECT_EQ(endless.status, 2);
  EXPECT_TRUE(Has(endless.out, "File too large (over the 64 MiB budget of a file)")) << endless.out;

  // A megabyte of blank lines around one pattern: the blank lines hold none.
  const std::string blank(1 << 20, '\n');
  const std::string set = dir.WriteBytes("set.txt", blank + "hi\n" + blank + "hi\n");
  const CliResult found = RunParlevoCliAfter(kMemoryCap, {"match", "--set", set, "oh hi"});
  EXPECT_EQ(found.status, 0) << found.err;
  EXPECT_EQ(found.out, std::to_string((1 << 20) + 1) + "\n" + std::to_string((2 << 20) + 2) + "\n");

  // A chat line over 1 MiB is refused with a word and skipped; the next is answered.
  const std::string input = "hi\n" + std::string(3 << 20, 'a') + "\nhi\n";
  const CliResult chat =
      RunParlevoCliAfter(kMemoryCap, {"chat", "--no-save", "--partner", "p", base}, input);
  EXPECT_EQ(chat.status, 0) << chat.err;
  EXPECT_EQ(chat.err, "warning: input line 2 is longer than 1 MiB: skipped\n");
  EXPECT_EQ(chat.out.rfind("e > \np > hi\ne > hello\np > hi\ne > ", 0), 0u) << chat.out;
}

}  // namespace
