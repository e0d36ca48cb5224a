// parlevo-cli check and chat, run as a user runs them, on the committed test
// characters (copied to a scratch folder so their state files may change).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/run_cli.h"
#include "common/scratch_dir.h"

namespace {

namespace fs = std::filesystem;

// A scratch copy of tests/data/characters.
// A copy of the test characters in a scratch folder of its own.
class CharacterCopy : public parlevo::test::ScratchDir {
 public:
  CharacterCopy() : ScratchDir("parlevo-cli") {
    fs::copy(fs::path(PARLEVO_TEST_DATA) / "data" / "characters", Path(),
             fs::copy_options::recursive);
  }
  const fs::path& dir() const { return Path(); }
};

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

using CliRun = parlevo::test::CliResult;
const auto& Lines = parlevo::test::SplitOutputLines;
const auto& Quote = parlevo::test::ShellQuote;

// Runs parlevo-cli with `args` and `input`, after `prefix` (see RunParlevoCliAfter).
CliRun RunCli(const std::vector<std::string>& args, const std::string& input = "",
              const std::string& prefix = "") {
  return parlevo::test::RunParlevoCliAfter(prefix, args, input);
}

// ---------------------------------------------------------------- check

TEST(CheckCommand, ListsWhatLoadingPassesOverAsFileLineMessages) {
  CharacterCopy chars;
  CliRun run = RunCli({"check", chars / "taro.txt"});
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<std::string> lines = Lines(run.out);
  auto has = [&](const std::string& prefix, const std::string& part = "") {
    for (const std::string& line : lines) {
      if (line.rfind(prefix, 0) == 0 && line.find(part) != std::string::npos) return true;
    }
    return false;
  };
  const std::string taro = chars / "taro/";
  EXPECT_TRUE(has(taro + "greet.txt:2: "));                         // too few fields
  EXPECT_TRUE(has(chars / "taro.txt:10: ", "nothere.txt"));         // missing data file
  EXPECT_TRUE(has(taro + "talk_a.txt:2: "));                        // too few fields
  EXPECT_TRUE(has(taro + "talk_b.txt:1: "));                        // marker dividing nothing
  EXPECT_TRUE(has(taro + "talk_b.txt:3: ", "need right bracket"));  // the engine's message
  EXPECT_TRUE(has(taro + "talk_b.txt:5: "));                        // marker after a marker
  EXPECT_TRUE(has(taro + "talk_b.txt:7: ", "{ENDOFDATA}"));         // behind {ENDOFDATA}
  EXPECT_TRUE(has(taro + "more_b.txt:3: "));                        // marker at the end
  EXPECT_FALSE(has(taro + "talk_b.txt:2: "));
  // Each file's notes stand together, in line order.
  auto at = [&](const std::string& prefix) {
    for (size_t i = 0; i < lines.size(); ++i) {
      if (lines[i].rfind(prefix, 0) == 0) return i;
    }
    return lines.size();
  };
  EXPECT_LT(at(taro + "talk_b.txt:1: "), at(taro + "talk_b.txt:3: "));
  EXPECT_LT(at(taro + "talk_b.txt:3: "), at(taro + "talk_b.txt:5: "));
  EXPECT_LT(at(taro + "talk_b.txt:5: "), at(taro + "talk_b.txt:7: "));
  EXPECT_TRUE(has("datab1: entries 6, markers 3, available 3"));
  EXPECT_TRUE(has("data01: entries 0, markers 0, available 0"));
  EXPECT_TRUE(has("太郎: "));
  EXPECT_FALSE(fs::exists(chars / "taro/taro.lts")) << "check writes no state file";
}

TEST(CheckCommand, AWellMadeCharacterHasOnlyItsMissingFileAndAFalseConditionNoted) {
  CharacterCopy chars;
  CliRun run = RunCli({"check", chars / "hanako.ltc"});
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 11u) << run.out;
  EXPECT_EQ(lines[0].rfind(chars / "hanako.ltc:10: ", 0), 0u) << lines[0];
  EXPECT_NE(lines[0].find("missing file.txt"), std::string::npos);
  // Its second opening condition is "FALSE", as written: never true.
  EXPECT_EQ(lines[1].rfind(chars / "hanako/open.txt:2: condition FALSE", 0), 0u) << lines[1];
  EXPECT_EQ(lines[2], "data01: entries 1, markers 0, available 1");
  EXPECT_EQ(lines[7], "datab2: entries 5, markers 0, available 5");  // the enciphered file
  EXPECT_EQ(lines[10], "花子: entries 19, available 18");
}

TEST(CheckCommand, RefusedCharactersEndWithTheEngineMessage) {
  CharacterCopy chars;
  std::ofstream(chars / "empty.ltc", std::ios::binary)
      << "version\r\n210\r\nname\r\nx\r\ndatab2\r\nshort.txt\r\n";
  std::ofstream(chars / "short.txt", std::ios::binary) << "only-one-field\r\n";
  std::ofstream(chars / "old.ltc", std::ios::binary) << "version\r\n209\r\nname\r\nx\r\n";
  struct Case {
    std::string base_file;
    std::string error;
  };
  const std::vector<Case> cases = {
      {chars / "empty.ltc", "error: " + chars / "empty.ltc" + ": character contains no data\n"},
      {chars / "old.ltc", "error: " + chars / "old.ltc" +
                              ": character is not supported in this version (version 209; 210 "
                              "or more is needed)\n"},
      {chars / "nobody.ltc", "error: " + chars / "nobody.ltc" + ": characterfile is not found\n"},
  };
  for (const Case& c : cases) {
    CliRun run = RunCli({"check", c.base_file});
    EXPECT_EQ(run.status, 1) << c.base_file;
    EXPECT_EQ(run.err, c.error);
  }
  // The notes that explain an empty character are still shown.
  EXPECT_EQ(Lines(RunCli({"check", chars / "empty.ltc"}).out).size(), 1u);
}

// The lines of the data files together have a budget (entries), counted
// across files and objects: one file of 600,000 lines loads, a second one
// crosses the budget and is named. Lines behind an end marker count too.
TEST(CheckCommand, TheEntriesBudgetRefusesTheDataFileThatCrossesIt) {
  CharacterCopy chars;
  std::string many_lines = "{ENDOFDATA}\r\n";
  for (int i = 0; i < 600'000; ++i) many_lines += "\r\n";
  std::ofstream(chars / "hanako/secret.txt", std::ios::binary) << many_lines;
  CliRun run = RunCli({"check", chars / "hanako.ltc"});
  EXPECT_EQ(run.status, 0) << run.err;

  std::ofstream(chars / "hanako/chat.txt", std::ios::binary) << many_lines;
  run = RunCli({"check", chars / "hanako.ltc"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "error: " + chars / "hanako.ltc" + ": cannot read file \"" +
                         chars / "hanako/chat.txt" +
                         "\": the personality's data files together exceed 1000000 lines (the "
                         "budget of entries)\n");
  EXPECT_EQ(RunCli({"chat", "--partner", "p", chars / "hanako.ltc"}, "").status, 1);
}

TEST(CheckCommand, UsageErrorsExitWithTwo) {
  EXPECT_EQ(RunCli({"check"}).status, 2);
  EXPECT_EQ(RunCli({"chat"}).status, 2);
  EXPECT_EQ(RunCli({"chat", "--bogus", "x.ltc"}).status, 2);
}

// ----------------------------------------------------------------- chat

TEST(ChatCommand, OpensThenAnswersEachLineAsTranscriptLines) {
  CharacterCopy chars;
  CliRun run = RunCli({"chat", "--partner", "太郎", chars / "hanako.ltc"}, "天気\n\r\n名前\n");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const std::vector<std::string> expected = {
      "花子 > はじめまして、花子です。",
      "太郎 > 天気",
      "花子 > 今日はいい天気ですね。",
      "太郎 > ",
      "花子 > どうしたの？",  // an empty line is silence
      "太郎 > 名前",
      "花子 > 花子といいます。",
  };
  EXPECT_EQ(Lines(run.out), expected);
}

TEST(ChatCommand, ThePartnerNameAndTheLinePatternAreUsed) {
  CharacterCopy chars;
  CliRun run =
      RunCli({"chat", "--partner", "花子", "--format", "[%CHARNAME] %comment", chars / "taro.txt"},
             "こんにちは");  // a last line without a line end counts
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<std::string> expected = {
      "[太郎] よう、花子。太郎だ。",
      "[花子] こんにちは",
      "[太郎] こんにちは！",
  };
  EXPECT_EQ(Lines(run.out), expected);
}

TEST(ChatCommand, MemoryOutlivesTheRunInTheStateFile) {
  CharacterCopy chars;
  const std::vector<std::string> args = {"chat", "--partner", "p", chars / "hanako.ltc"};
  CliRun first = RunCli(args, "ひみつ\nおぼえて、青い鳥\n");
  ASSERT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(Lines(first.out)[2], "花子 > 秘密は「花子の秘密」です。");
  EXPECT_EQ(Lines(first.out)[4], "花子 > 覚えました。");
  CliRun second = RunCli(args, "ひみつ\n");
  EXPECT_EQ(Lines(second.out)[2], "花子 > 秘密は「おぼえて、青い鳥」です。");
}

TEST(ChatCommand, DoubleDashEndsTheOptions) {
  CharacterCopy chars;
  fs::copy(chars / "hanako.ltc", chars / "-odd.ltc");
  CliRun run = RunCli({"chat", "--partner", "p", "--", "-odd.ltc"}, "",
                      "cd " + Quote(chars.dir().string()) + " &&");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Lines(run.out), std::vector<std::string>{"花子 > はじめまして、花子です。"});
}

TEST(ChatCommand, AnEmptyLinePatternIsTheDefaultOne) {
  CharacterCopy chars;
  CliRun run = RunCli({"chat", "--partner", "p", "--format", "", chars / "hanako.ltc"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Lines(run.out), std::vector<std::string>{"花子 > はじめまして、花子です。"});
}

TEST(ChatCommand, ARefusedCharacterIsAnError) {
  CharacterCopy chars;
  CliRun run = RunCli({"chat", chars / "nobody.ltc"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "error: " + chars / "nobody.ltc" + ": characterfile is not found\n");
}

// Paths reach the file system as typed, even where the code page cannot
// spell them, and every message names them in UTF-8.
TEST(Paths, FoldersOutsideTheCodePageLoadAndAreNamedInUtf8) {
  CharacterCopy chars;
  const fs::path home = chars.dir() / "日本" / "Téléchargements 🐱";
  fs::create_directories(home);
  fs::copy(chars / "hanako.ltc", home / "hanako.ltc");
  fs::copy(chars / "hanako", home / "hanako", fs::copy_options::recursive);
  const std::string base = (home / "hanako.ltc").string();

  CliRun chat = RunCli({"chat", "--partner", "p", base}, "天気\n");
  EXPECT_EQ(chat.status, 0) << chat.err;
  EXPECT_EQ(chat.err, "");
  EXPECT_TRUE(fs::exists(home / "hanako" / "hanako.lts"));

  CliRun check = RunCli({"check", base});
  EXPECT_EQ(check.status, 0) << check.err;
  EXPECT_EQ(check.out.rfind(base + ":10: ", 0), 0u) << check.out;

  // A data file with a Japanese name (code page text in the base file, a
  // native name on disk): `try` and `test` name it as a turn reports it.
  fs::rename(home / "hanako" / "words_1.txt", home / "hanako" / "天気.txt");
  std::string base_text = Slurp(base);
  base_text.replace(base_text.find("words_1.txt"), 11, "\x93\x56\x8b\x43.txt");
  std::ofstream(base, std::ios::binary) << base_text;
  CliRun tried = RunCli({"try", base, "天気"});
  EXPECT_EQ(tried.status, 0) << tried.err;
  EXPECT_NE(tried.out.find("datab1 " + (home / "hanako" / "天気.txt").string() + ":1 tier 1"),
            std::string::npos)
      << tried.out;
  std::ofstream(home / "script.txt") << "> 天気\n@ 天気.txt:1\n";
  CliRun tested = RunCli({"test", base, (home / "script.txt").string()});
  EXPECT_EQ(tested.status, 0) << tested.out << tested.err;

  // A damaged state file: kept aside, and both files named.
  std::ofstream(home / "hanako" / "hanako.lts", std::ios::binary) << "cut";
  chat = RunCli({"chat", "--partner", "p", base}, "");
  EXPECT_EQ(chat.status, 0) << chat.err;
  const std::string state = (home / "hanako" / "hanako.lts").string();
  EXPECT_EQ(chat.err, "warning: the state file \"" + state +
                          "\" is damaged (too short: 1 of 150 lines); it was kept as \"" + state +
                          ".bad\" and a fresh one will be written\n");

  // A data file over its size budget (sparse: no disk is used).
  const fs::path talk = home / "hanako" / "secret.txt";
  fs::resize_file(talk, (64u << 20) + 1);
  check = RunCli({"check", base});
  EXPECT_EQ(check.status, 1);
  EXPECT_EQ(check.err, "error: " + base + ": cannot read file \"" + talk.string() +
                           "\": File too large (over the 64 MiB budget of a file)\n");
}

TEST(ChatCommand, AStateFileThatCannotBeSavedIsAWarningAndStatus3AndTheOldOneStays) {
  CharacterCopy chars;
  const std::string state = chars / "hanako/hanako.lts";
  const std::string before = Slurp(state);
  // A memo too long for a file size limit of 1 KiB stands in for a full disk.
  CliRun run = RunCli({"chat", "--partner", "p", chars / "hanako.ltc"},
                      "おぼえて" + std::string(3000, 'x') + "\n", "trap '' XFSZ; ulimit -f 1;");
  EXPECT_EQ(run.status, 3);
  EXPECT_EQ(run.err.rfind("warning: ", 0), 0u) << run.err;
  EXPECT_NE(run.err.find("hanako.lts"), std::string::npos) << run.err;
  EXPECT_EQ(Slurp(state), before);
}

}  // namespace
