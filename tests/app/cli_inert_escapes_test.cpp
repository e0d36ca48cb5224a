// What chat, converse, try, test, check and coverage print shows a personality's control
// characters as escapes, whatever standard output is; --raw passes them on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/run_cli.h"
#include "common/scratch_dir.h"

namespace {

using parlevo::test::CliResult;
using parlevo::test::RunParlevoCli;

// A kind C line that retitles the terminal, rings it and clears the screen.
constexpr char kHostile[] = "x\x1b]0;pwned\x07y\x1b[2J";
constexpr char kShown[] = "x\\x1B]0;pwned\\x07y\\x1B[2J";

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(CliInertEscapes, ControlCharactersAreShownUnlessRawIsAsked) {
  parlevo::test::ScratchDir dir("parlevo-escapes");
  const std::string base = dir.Write(
      "e.ltc",
      std::vector<std::string>{"name", "e", "version", "210", "folder", "e", "datac1", "c.txt"});
  dir.Write("e/c.txt", std::vector<std::string>{kHostile});
  // check and coverage print the character's name.
  const std::string named =
      dir.Write("n.ltc", std::vector<std::string>{"name", kHostile, "version", "210", "folder", "e",
                                                  "datac1", "c.txt"});
  const std::string script = dir.Write("t.txt", std::vector<std::string>{"> hi", "< nothing"});

  const std::vector<std::vector<std::string>> runs = {
      {"chat", "--no-save", "--partner", "p\x1b[31m", base},
      {"converse", "--no-save", "--turns", "2", "--interval", "0", base, base},
      {"try", "--all", base, "hi"},
      {"test", base, script},
      {"check", named},
      {"coverage", "--turns", "2", "--runs", "1", named, named}};
  for (std::vector<std::string> args : runs) {
    const CliResult shown = RunParlevoCli(args, "hi\n");
    EXPECT_TRUE(Has(shown.out, kShown)) << args[0] << ": " << shown.out;
    EXPECT_FALSE(Has(shown.out, "\x1b")) << args[0];
    EXPECT_FALSE(Has(shown.out, "\x07")) << args[0];
    args.insert(args.begin() + 1, "--raw");
    const CliResult raw = RunParlevoCli(args, "hi\n");
    EXPECT_TRUE(Has(raw.out, kHostile)) << args[0] << ": " << raw.out;
  }
  // The partner's name the user typed is shown the same way.
  const CliResult chat =
      RunParlevoCli({"chat", "--no-save", "--partner", "p\x1b[31m", base}, "hi\n");
  EXPECT_TRUE(Has(chat.out, "p\\x1B[31m > hi\n")) << chat.out;
  // JSON escapes them as the format wants; it never carries a raw one either.
  const CliResult json = RunParlevoCli({"chat", "--no-save", "--json", base}, "hi\n");
  EXPECT_TRUE(Has(json.out, "\\u001b]0;pwned\\u0007")) << json.out;

  // C1 controls (code page 1252 reads 0x81 and 0x8D as U+0081 and U+008D).
  dir.WriteBytes("e/c.txt",
                 "a\x81"
                 "b\x8d"
                 "c\r\n");
  const CliResult c1 = RunParlevoCli({"--codepage", "1252", "try", "--all", base, "hi"});
  EXPECT_TRUE(Has(c1.out, "a\\u0081b\\u008Dc")) << c1.out;
  EXPECT_FALSE(Has(c1.out, "\xc2\x81")) << c1.out;
}

}  // namespace
