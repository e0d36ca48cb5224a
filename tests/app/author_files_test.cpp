// What the author's tools say about the files of a character, run as a user
// runs them: check's findings on a base file and a data folder full of
// planted mistakes, load errors that name the base file, and the paths of
// --why, --json, try, test and coverage, which an editor can open.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "common/run_cli.h"
#include "common/scratch_dir.h"
#include "platform/codepage.h"

namespace parlevo {
namespace {

using test::CliResult;
using test::RunParlevoCli;
using test::RunParlevoCliAfter;
using test::ScratchDir;
using test::ShellQuote;

// Shift JIS lines joined with CR LF.
std::string Sjis(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return platform::Utf8ToAnsi(text);
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// (code, file, line) of each finding of `check --json`, which must parse
// line by line; the fixes by code.
struct Findings {
  std::set<std::tuple<std::string, std::string, int>> Where;
  std::map<std::string, std::string> Fixes;
  std::map<std::string, std::string> Messages;
};

Findings CheckJson(const std::string& base, int status) {
  const CliResult run = RunParlevoCli({"check", "--json", base});
  EXPECT_EQ(run.status, status) << run.out << run.err;
  Findings found;
  for (const std::string& line : run.OutLines()) {
    const nlohmann::json json = nlohmann::json::parse(line);
    const std::string code = json["code"].get<std::string>();
    const int at = json["line"].is_null() ? 0 : json["line"].get<int>();
    found.Where.insert({code, json["file"].get<std::string>(), at});
    if (!json["fix"].is_null()) found.Fixes[code] = json["fix"].get<std::string>();
    found.Messages[code] = json["message"].get<std::string>();
  }
  return found;
}

// A base file with a misspelt key and a data folder with every kind of file
// that may lie beside data files: check names each mistake where it is, and
// says nothing of the files that are no data files.
TEST(AuthorFiles, CheckFindsMistakesInTheBaseFileAndTheDataFolder) {
  ScratchDir dir;
  const std::string base =
      dir.WriteBytes("k.ltc", Sjis({"name", "こむぎ", "version", "210", "folder", "data", "datab3",
                                    "x.txt", "datab1", "b.txt,r.txt", "datac1", "c.txt,sub"}));
  std::filesystem::create_directories(dir / "data/sub");
  std::filesystem::create_directories(dir / "data/old");
  dir.WriteBytes("data/b.txt", Sjis({"こんにちは,こんにちは！"}));
  dir.WriteBytes("data/c.txt", Sjis({"いい天気。"}));
  dir.WriteBytes("data/extra.txt", Sjis({"だれも読まない。"}));
  for (const char* kept : {"data/k.lts", "data/b.txt.bak", "data/k.lts.bad2", "data/Result.txt",
                           "data/k.tmp0", "data/.b.txt.swp", "data/c.txt~"}) {
    dir.WriteBytes(kept, "x\r\n");
  }
  dir.WriteBytes("data/script.txt", "# a test\n> こんにちは\n< こんにちは！\n");
  dir.WriteBytes("data/other.ltc", Sjis({"name", "ほか", "version", "210"}));

  const Findings found = CheckJson(base, 0);
  const std::set<std::tuple<std::string, std::string, int>> expected = {
      {"unknown-base-key", base, 7},
      {"missing-data-file", base, 10},
      {"data-file-not-a-file", base, 12},
      {"unlisted-data-file", dir / "data/extra.txt", 0},
  };
  EXPECT_EQ(found.Where, expected);
  EXPECT_EQ(found.Fixes.at("unknown-base-key"), "datab1");
  EXPECT_EQ(found.Messages.at("data-file-not-a-file"), "datac1: sub: is a folder, not a file");
  EXPECT_TRUE(Contains(found.Messages.at("missing-data-file"), "r.txt (looked in " + dir / "data"))
      << found.Messages.at("missing-data-file");
  // The unlisted file is a note: --strict fails on the warnings alone.
  EXPECT_EQ(RunParlevoCli({"check", "--strict", base}).status, 1);
  std::filesystem::remove_all(dir / "data/sub");
  dir.WriteBytes("data/r.txt", Sjis({"やあ,やあ"}));
  dir.WriteBytes("k.ltc", Sjis({"name", "こむぎ", "version", "210", "folder", "data", "datab1",
                                "b.txt,r.txt", "datac1", "c.txt"}));
  EXPECT_EQ(RunParlevoCli({"check", "--strict", base}).status, 0);
}

// A refused character is named by its base file, the engine's message
// unchanged, and what tells the case apart; a misspelt key is found even then.
TEST(AuthorFiles, LoadErrorsStartWithTheBaseFileAndTellVersionsApart) {
  ScratchDir dir;
  dir.WriteBytes("c.txt", Sjis({"いい天気。"}));
  const std::string base =
      dir.WriteBytes("k.ltc", Sjis({"name", "こむぎ", "versoin", "210", "datac1", "c.txt"}));
  const std::string no_version = base +
                                 ": character is not supported in this version (the base "
                                 "file has no \"version\" line)";
  for (const char* command : {"chat", "check", "try", "expand"}) {
    std::vector<std::string> args = {command, base};
    if (std::string(command) == "try") args.push_back("x");
    if (std::string(command) == "expand") args = {"expand", "--character", base, "x"};
    const CliResult run = RunParlevoCli(args, "");
    EXPECT_EQ(run.status, 1) << command;
    EXPECT_EQ(run.err, "error: " + no_version + "\n") << command;
  }
  const Findings found = CheckJson(base, 1);
  EXPECT_EQ(found.Fixes.at("unknown-base-key"), "version");
  EXPECT_TRUE(found.Where.count({"unsupported-version", base, 0}));

  dir.WriteBytes("k.ltc", Sjis({"name", "こむぎ", "version", "200", "datac1", "c.txt"}));
  EXPECT_EQ(RunParlevoCli({"check", base}).err,
            "error: " + base +
                ": character is not supported in this version (version 200; 210 or more is "
                "needed)\n");
  EXPECT_EQ(RunParlevoCli({"chat", dir / "nobody.ltc"}).err,
            "error: " + dir / "nobody.ltc" + ": characterfile is not found\n");
}

// --why and try show what an entry matched with; every tool names data
// files as an editor started in the current folder opens them, relative
// below it and absolute elsewhere, while "@ FILE:LINE" keeps the base file's
// names; counts agree in number.
TEST(AuthorFiles, ToolsNameFilesAnEditorOpensAndWhatMatched) {
  ScratchDir dir;
  dir.WriteBytes("k/k.ltc", Sjis({"name", "こむぎ", "version", "210", "folder", "data", "datab2",
                                  "b.txt", "datac2", "c.txt", "data01", "z.txt"}));
  dir.WriteBytes("k/data/b.txt", Sjis({"こんにちは|やあ,こんにちは！"}));
  dir.WriteBytes("k/data/c.txt", Sjis({"いい天気。", "{PRIOR}", "雨ですね。"}));
  dir.WriteBytes("k/data/z.txt", Sjis({"{==1|2},ありえない", "{==1|1},ようこそ。"}));
  dir.WriteBytes("s.txt", "> やあ\n@ b.txt:1\n< ちがう\n");
  const std::string here = "cd " + ShellQuote(dir.Path().string()) + " &&";

  CliResult run =
      RunParlevoCliAfter(here, {"chat", "--why", "--partner", "p", "k/k.ltc"}, "やあ\n");
  std::vector<std::string> lines = run.OutLines();
  ASSERT_EQ(lines.size(), 5u) << run.out << run.err;
  EXPECT_EQ(lines[1], "  # data01 k/data/z.txt:2 tier 1 of 1, 1 candidate; condition \"{==1|1}\"");
  EXPECT_EQ(lines[4],
            "  # datab2 k/data/b.txt:1 tier 1 of 1, 1 candidate; pattern \"こんにちは|やあ\"");

  run = RunParlevoCliAfter(here, {"chat", "--json", "--partner", "p", "k/k.ltc"}, "やあ\n");
  const nlohmann::json answer = nlohmann::json::parse(run.OutLines().at(2));
  EXPECT_EQ(answer["source"]["file"], "b.txt");
  EXPECT_EQ(answer["source"]["path"], "k/data/b.txt");
  EXPECT_EQ(answer["source"]["pattern"], "こんにちは|やあ");

  run = RunParlevoCliAfter(here, {"try", "k/k.ltc", "やあ"});
  EXPECT_EQ(run.OutLines(),
            (std::vector<std::string>{
                "data01 k/data/z.txt:2 tier 1  {==1|1} → ようこそ。",
                "datab2 k/data/b.txt:1 tier 1  こんにちは|やあ → こんにちは！",
                "datac2 tier 1: 1 candidate (free talk)", "answer: data01 tier 1, 1 candidate"}))
      << run.out;
  run = RunParlevoCliAfter(here, {"try", "--all", "k/k.ltc", "やあ"});
  EXPECT_TRUE(Contains(run.out, "datac2 k/data/c.txt:1 tier 1")) << run.out;
  std::filesystem::create_directories(dir / "elsewhere");
  run = RunParlevoCliAfter("cd " + ShellQuote(dir / "elsewhere") + " &&",
                           {"try", dir / "k/k.ltc", "やあ"});
  EXPECT_TRUE(Contains(run.out, "datab2 " + dir / "k/data/b.txt:1 tier 1")) << run.out;

  // The source check passes by the base file's name; the failure and the
  // coverage name the file by its path.
  run = RunParlevoCliAfter(here, {"test", "--coverage", "k/k.ltc", "s.txt"});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(Contains(run.out,
                       "s.txt:3: expected \"ちがう\", got \"こんにちは！\" (from "
                       "k/data/b.txt:1)"))
      << run.out;
  EXPECT_FALSE(Contains(run.out, "s.txt:2:")) << run.out;
  EXPECT_TRUE(Contains(run.out, "k/data/b.txt: 1/1 entries")) << run.out;
}

}  // namespace
}  // namespace parlevo
