// Follows the first-character walkthrough of docs/authoring.md as a reader
// would: writes every file the guide shows, runs every command it shows in
// order, and compares what each prints with what the guide says it prints.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/run_cli.h"
#include "common/scratch_dir.h"

namespace parlevo {
namespace {

using test::CliResult;
using test::RunShell;
using test::ScratchDir;
using test::ShellQuote;

// A fenced block of the guide: its info string ("text", "console"), the
// file it shows when the line before it names one ("`komugi/x.txt`:"), and
// its lines.
struct Block {
  std::string info;
  std::string file;
  std::vector<std::string> lines;
};

// The fenced blocks of the section that starts with `heading`, in order.
std::vector<Block> SectionBlocks(const std::string& guide, const std::string& heading) {
  std::istringstream in(guide);
  std::vector<Block> blocks;
  bool in_section = false;
  Block* open = nullptr;
  std::string named;  // the file the last paragraph line named
  for (std::string line; std::getline(in, line);) {
    if (open == nullptr && line.rfind("## ", 0) == 0) in_section = line == heading;
    if (!in_section) continue;
    if (line.rfind("```", 0) == 0) {
      if (open != nullptr) {
        open = nullptr;
      } else {
        blocks.push_back({line.substr(3), named, {}});
        open = &blocks.back();
      }
    } else if (open != nullptr) {
      open->lines.push_back(line);
    } else if (!line.empty()) {
      const bool names_file =
          line.size() > 3 && line.front() == '`' && line.substr(line.size() - 2) == "`:";
      named = names_file ? line.substr(1, line.size() - 3) : "";
    }
  }
  return blocks;
}

TEST(Walkthrough, TheFirstCharacterOfTheGuideChecksCleanAndTalksAsShown) {
  std::ifstream file(std::string(PARLEVO_EXAMPLES) + "/../docs/authoring.md");
  std::stringstream guide;
  guide << file.rdbuf();
  const std::vector<Block> blocks = SectionBlocks(guide.str(), "## Your first character");
  ASSERT_GE(blocks.size(), 7u) << "the walkthrough was not found";

  ScratchDir dir("parlevo-walkthrough");
  // The guide calls the program by its name.
  std::filesystem::create_directories(dir / "bin");
  std::filesystem::create_symlink(PARLEVO_CLI, dir / "bin/parlevo-cli");
  const std::string shell =
      "cd " + ShellQuote(dir.Folder()) + " && PATH=" + ShellQuote(dir / "bin") + ":\"$PATH\" && ";
  int files = 0, commands = 0;
  for (const Block& block : blocks) {
    if (!block.file.empty()) {
      std::string text;
      for (const std::string& line : block.lines) text += line + "\n";
      dir.WriteBytes(block.file, text);  // as an editor saves UTF-8
      ++files;
    } else if (block.info == "console") {
      ASSERT_FALSE(block.lines.empty());
      ASSERT_EQ(block.lines[0].rfind("$ ", 0), 0u) << block.lines[0];
      SCOPED_TRACE(block.lines[0]);
      const CliResult run = RunShell(shell + block.lines[0].substr(2));
      EXPECT_EQ(run.status, 0) << run.err;
      EXPECT_EQ(run.err, "");
      const std::vector<std::string> shown(block.lines.begin() + 1, block.lines.end());
      EXPECT_EQ(test::SplitOutputLines(run.out), shown);
      ++commands;
    }
  }
  EXPECT_EQ(files, 5);
  EXPECT_GE(commands, 3);
  EXPECT_FALSE(std::filesystem::exists(dir / "komugi/data/komugi.lts")) << "--no-save wrote it";
}

}  // namespace
}  // namespace parlevo
