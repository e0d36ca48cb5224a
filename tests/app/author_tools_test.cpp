// The author's tools end to end: personality files in UTF-8 (with and
// without the mark), `convert`, `match --entry` against the same entry in a
// character, and `check --strict` with its answer checks.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "common/run_cli.h"
#include "common/scratch_dir.h"
#include "engine/character.h"
#include "platform/codepage.h"

namespace parlevo {
namespace {

using test::CliResult;
using test::RunParlevoCli;
using test::ScratchDir;

constexpr char kMark[] = "\xEF\xBB\xBF";

// Joins UTF-8 lines with CR LF.
std::string Text(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

std::string Sjis(const std::vector<std::string>& lines) {
  return platform::Utf8ToAnsi(Text(lines));
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// ------------------------------------------------------------ UTF-8 files

// A base file and a kind B file in UTF-8 with the mark, free talk in Shift
// JIS: all three read alike; a character the code page lacks reads as "?"
// and check names its line.
TEST(PersonalityFiles, Utf8WithTheMarkIsReadAndLostCharactersAreListed) {
  ScratchDir dir;
  const std::string base = dir.WriteBytes(
      "k.ltc",
      kMark + Text({"name", "こむぎ", "version", "210", "datab2", "b.txt", "datac2", "c.txt"}));
  dir.WriteBytes("b.txt", kMark + Text({"ハロー,こんにちは～①", "おやつ,どうぞ🍞"}));
  dir.WriteBytes("c.txt", Sjis({"いい天気ですね。"}));

  CliResult chat =
      RunParlevoCli({"chat", "--no-save", "--partner", "p", base}, "ハロー\nおやつ\nx\n");
  EXPECT_EQ(chat.status, 0) << chat.err;
  EXPECT_EQ(chat.err, "");
  const std::vector<std::string> lines = test::SplitOutputLines(chat.out);
  ASSERT_EQ(lines.size(), 7u) << chat.out;
  EXPECT_EQ(lines[2], "こむぎ > こんにちは～①");
  EXPECT_EQ(lines[4], "こむぎ > どうぞ?");
  EXPECT_EQ(lines[6], "こむぎ > いい天気ですね。");

  CliResult check = RunParlevoCli({"check", base});
  EXPECT_EQ(check.status, 0) << check.err;
  EXPECT_TRUE(Contains(check.out, dir / "b.txt:2: ")) << check.out;
  EXPECT_TRUE(Contains(check.out, "U+1F35E")) << check.out;
  EXPECT_FALSE(Contains(check.out, dir / "b.txt:1: ")) << check.out;
  EXPECT_EQ(RunParlevoCli({"check", "--strict", base}).status, 1);
}

// A file saved as UTF-8 without the mark is read as UTF-8 like one with it:
// nothing is said at load, check notes it once (a note: --strict passes) and
// lists the characters the code page lacks; Shift JIS files get no note.
TEST(PersonalityFiles, PlainUtf8IsReadAsUtf8AndNotedOnce) {
  ScratchDir dir;
  const std::string base =
      dir.WriteBytes("k.ltc", Sjis({"name", "こむぎ", "version", "210", "datac2", "c.txt"}));
  dir.WriteBytes("c.txt", Text({"いらっしゃいませ。焼きたてです。", "いらっしゃいませ。"}));
  CliResult chat = RunParlevoCli({"chat", "--no-save", "--partner", "p", base}, "\n");
  EXPECT_EQ(chat.status, 0);
  EXPECT_EQ(chat.err, "");
  EXPECT_TRUE(Contains(chat.out, "こむぎ > いらっしゃいませ。")) << chat.out;
  CliResult check = RunParlevoCli({"check", "--strict", "--json", base});
  EXPECT_EQ(check.status, 0) << check.out;
  const std::vector<std::string> found = check.OutLines();
  ASSERT_EQ(found.size(), 1u) << check.out;
  const nlohmann::json note = nlohmann::json::parse(found[0]);
  EXPECT_EQ(note["file"], dir / "c.txt");
  EXPECT_EQ(note["severity"], "note");
  EXPECT_EQ(note["code"], "read-as-utf8");

  // A character the code page lacks reads as "?" and is a warning.
  dir.WriteBytes("c.txt", Text({"パンをどうぞ🍞"}));
  chat = RunParlevoCli({"chat", "--no-save", "--partner", "p", base}, "\n");
  EXPECT_TRUE(Contains(chat.out, "こむぎ > パンをどうぞ?")) << chat.out;
  check = RunParlevoCli({"check", "--strict", base});
  EXPECT_EQ(check.status, 1);
  EXPECT_TRUE(Contains(check.out, dir / "c.txt:1: characters code page 932 lacks")) << check.out;

  dir.WriteBytes("c.txt", Sjis({"いらっしゃいませ。焼きたてです。"}));
  check = RunParlevoCli({"check", "--strict", "--json", base});
  EXPECT_EQ(check.status, 0);
  EXPECT_EQ(check.out, "");
}

// Every file of both samples saved as plain UTF-8 (enciphered files stay in
// the code page), their test scripts saved as Shift JIS: each copy converses
// line for line as the shipped one under a frozen clock, and passes its scripts.
TEST(PersonalityFiles, SamplesConverseAlikeInPlainUtf8AndShiftJis) {
  if (!std::filesystem::exists(std::filesystem::path(PARLEVO_EXAMPLES) / "robo" / "robo.ltc")) {
    GTEST_SKIP() << "no sample characters";
  }
  ScratchDir dir;
  for (const char* copy : {"sjis", "utf8"}) {
    test::CopySamples(PARLEVO_EXAMPLES, dir / copy);
  }
  int converted = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.Path())) {
    if (!entry.is_regular_file()) continue;
    const std::string path = entry.path().string();
    const std::string bytes = dir.Read(std::filesystem::relative(path, dir.Path()).string());
    const bool script = entry.path().parent_path().filename() == "tests";
    const bool utf8_copy = path.find("/utf8/") != std::string::npos;
    if (entry.path().extension() == ".lts") {
      std::filesystem::remove(path);
    } else if (script && !utf8_copy) {
      std::ofstream(path, std::ios::binary) << platform::Utf8ToAnsi(bytes);
    } else if (!script && utf8_copy && bytes.rfind("encrypted", 0) != 0) {
      std::ofstream(path, std::ios::binary) << platform::AnsiToUtf8(bytes);
      ++converted;
    }
  }
  EXPECT_GE(converted, 10);
  auto converse = [&](const std::string& copy) {
    return RunParlevoCli({"--clock", "2026/03/07 14:05:01.250", "converse", "--turns", "40",
                          "--interval", "0", "--no-save", dir / (copy + "/hanako/hanako.ltc"),
                          dir / (copy + "/robo/robo.ltc")});
  };
  const CliResult sjis = converse("sjis"), utf8 = converse("utf8");
  EXPECT_EQ(sjis.status, 0) << sjis.err;
  EXPECT_EQ(utf8.err, "");
  EXPECT_EQ(sjis.OutLines().size(), 40u);
  EXPECT_EQ(utf8.out, sjis.out);
  for (const char* copy : {"sjis", "utf8"}) {
    for (const char* who : {"hanako", "robo"}) {
      const std::string folder = dir / (std::string(copy) + "/" + who);
      const CliResult test =
          RunParlevoCli({"test", folder + "/" + who + ".ltc", folder + "/tests/basics.txt"});
      EXPECT_EQ(test.status, 0) << copy << " " << who << ": " << test.out << test.err;
      EXPECT_EQ(RunParlevoCli({"check", "--strict", folder + "/" + who + ".ltc"}).status, 0);
    }
  }
}

// ---------------------------------------------------------------- convert

TEST(ConvertCommand, RoundTripKeepsEveryByteAndTheOriginal) {
  ScratchDir dir;
  // Characters of code page 932 that plain Shift JIS lacks, a half-width
  // kana, a lone LF and no line end at the end.
  const std::string original = Sjis({"～①㈱", "ｶﾅ"}) + "x\ny";
  const std::string file = dir.WriteBytes("talk.txt", original);

  CliResult to_utf8 = RunParlevoCli({"convert", "--to", "utf8", file});
  EXPECT_EQ(to_utf8.status, 0) << to_utf8.err;
  const std::string utf8 = dir.Read("talk.txt");
  EXPECT_EQ(utf8, kMark + Text({"～①㈱", "ｶﾅ"}) + "x\ny");
  EXPECT_EQ(dir.Read("talk.txt.bak"), original);
  EXPECT_TRUE(Contains(RunParlevoCli({"convert", "--to", "utf8", file}).out, "already"));

  CliResult to_sjis = RunParlevoCli({"convert", "--to", "sjis", file});
  EXPECT_EQ(to_sjis.status, 0) << to_sjis.err;
  EXPECT_EQ(dir.Read("talk.txt"), original);
  EXPECT_EQ(dir.Read("talk.txt.bak"), utf8);
}

TEST(ConvertCommand, RefusesAFileWithALineThatWouldNotSurvive) {
  ScratchDir dir;
  const std::string emoji = dir.WriteBytes("emoji.txt", Text({"パン", "おいしい😋"}));
  CliResult run = RunParlevoCli({"convert", "--to", "sjis", emoji});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(Contains(run.err, emoji + ":2: character 😋 (U+1F60B)")) << run.err;
  EXPECT_EQ(dir.Read("emoji.txt"), Text({"パン", "おいしい😋"}));

  // Bytes that are no character of the code page cannot become UTF-8.
  const std::string broken = dir.WriteBytes("broken.txt", "ok\r\n\x82\x20x\r\n");
  run = RunParlevoCli({"convert", "--to", "utf8", broken});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(Contains(run.err, broken + ":2: bytes 0x82")) << run.err;
  EXPECT_EQ(dir.Read("broken.txt"), "ok\r\n\x82\x20x\r\n");
  EXPECT_FALSE(std::filesystem::exists(dir / "emoji.txt.bak"));
  EXPECT_FALSE(std::filesystem::exists(dir / "broken.txt.bak"));
}

// ----------------------------------------------------------- match --entry

// `match --entry` finds a pattern exactly when the same pattern, as a kind B
// entry, answers the same text in a character.
TEST(MatchEntry, FindsWhatTheSameEntryFindsInACharacter) {
  const struct {
    const char* pattern;
    const char* text;
  } cases[] = {
      {"#たす#は", "3たす4は？"},
      {"#たす#は", "３たす４は"},
      {"abc", "xABCx"},
      {"ＡＢＣ", "abc"},
      {"\\？", "なに？"},
      {"\\？", "なに"},
      {"^こん", "こんにちは"},
      {"^こん", "あこん"},
      {"X|Y", "y"},
      {"[0-9]+円", "１００円"},
      {"\\#1", "#1"},
      {"\\#1", "21"},
      {"ね$", "そうだね"},
      {"(", "("},
  };
  ScratchDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.pattern) + " / " + c.text);
    const std::string base = dir.WriteBytes(
        "e.ltc", Sjis({"name", "e", "version", "210", "datab2", "b.txt", "datac2", "c.txt"}));
    dir.WriteBytes("b.txt", Sjis({std::string(c.pattern) + ",hit"}));
    dir.WriteBytes("c.txt", Sjis({"miss"}));
    bool found;
    {
      TCharacter character(platform::Utf8ToAnsi(base), TStateUse::kReadOnly);
      found = character.Talk(platform::Utf8ToWide(c.text), AllSlots) == u"hit";
    }
    CliResult match = RunParlevoCli({"match", "--entry", "--", c.pattern, c.text});
    if (match.status == 2) {
      EXPECT_FALSE(found) << "a pattern that does not compile never matches";
      continue;
    }
    ASSERT_EQ(match.status, 0) << match.err;
    EXPECT_EQ(match.out != "0 0\n", found) << match.out;
  }
}

TEST(MatchEntry, ASyntaxErrorShowsThePatternAsFolded) {
  CliResult run = RunParlevoCli({"match", "--entry", "？", "x"});
  EXPECT_EQ(run.status, 2);
  EXPECT_TRUE(Contains(run.err, "(pattern as folded: ?)")) << run.err;
  EXPECT_TRUE(Contains(RunParlevoCli({"match", "--help"}).out, "1-based byte position"));
}

// ------------------------------------------------------------------ check

// check looks at answers and conditions as written, and shows a pattern that
// does not compile as written and as folded; --strict makes any note an error.
TEST(CheckCommand, AnswersConditionsAndPatternsAreCheckedAsWritten) {
  ScratchDir dir;
  const std::string base = dir.WriteBytes(
      "k.ltc", Sjis({"name", "k", "version", "210", "data02", "o.txt", "datab2", "b.txt"}));
  dir.WriteBytes("o.txt", Sjis({"LCCALLED,こんにちは"}));
  dir.WriteBytes("b.txt", Sjis({"a,{IF{==%{COUNT20}|3}|0}", "b,今は{NOWW}です", "c,ok}",
                                "d,{COUNT20}回目", "？ＡＢ,x"}));
  const CliResult run = RunParlevoCli({"check", "--strict", base});
  EXPECT_EQ(run.status, 1);
  for (const std::string& note : {
           dir / "o.txt:1: condition LCCALLED has no tag",
           dir / "b.txt:1: condition {==%{COUNT20}|3} can never be True or False",
           dir / "b.txt:2: unknown tag {NOWW}",
           dir / "b.txt:3: unbalanced braces",
           dir / "b.txt:5: pattern \"？ＡＢ\" (folded: \"?AB\") does not compile",
       }) {
    EXPECT_TRUE(Contains(run.out, note)) << note << "\n" << run.out;
  }
  EXPECT_FALSE(Contains(run.out, dir / "b.txt:4:")) << run.out;
}

// check --json: every line of standard output is one finding, with a code
// for each kind of planted mistake, columns and a fix where they are known; a
// refused character is a single error.
TEST(CheckCommand, JsonFindingsOfPlantedMistakes) {
  ScratchDir dir;
  const std::string base =
      dir.WriteBytes("k.ltc", Sjis({"name", "k", "version", "210", "data02", "o.txt", "dataa2",
                                    "a.txt", "datab1", "gone.txt", "datab2", "b.txt"}));
  dir.WriteBytes("o.txt", Sjis({"LCCALLED,こんにちは"}));
  dir.WriteBytes("a.txt", Sjis({"ctx,in,answer one"}));
  dir.WriteBytes("b.txt", Sjis({"hello,Good morning, everyone!", "猫,にゃー,かわいい",
                                "a,{CHOISE:x|y}", "？ＡＢ,x", "c,ok}", "\"quoted, fine\",yes",
                                "lonely", "good morning,おはよう", "{ENDOFDATA},end", "after,x"}));
  const CliResult run = RunParlevoCli({"check", "--json", base});
  EXPECT_EQ(run.status, 0) << run.err;
  std::map<std::string, nlohmann::json> found;  // "file:line code" -> finding
  for (const std::string& line : run.OutLines()) {
    const nlohmann::json json = nlohmann::json::parse(line);  // throws on a line that is no JSON
    for (const char* key : {"file", "line", "column", "end_column", "severity", "code", "message"})
      EXPECT_TRUE(json.contains(key)) << key << " in " << line;
    EXPECT_EQ(json["severity"], "warning") << line;
    const std::string file = std::filesystem::path(json["file"].get<std::string>()).filename();
    const std::string at = json["line"].is_null() ? "" : std::to_string(json["line"].get<int>());
    found[file + ":" + at + " " + json["code"].get<std::string>()] = json;
  }
  for (const char* expected :
       {"o.txt:1 condition-without-tag", "a.txt:1 too-many-fields", "b.txt:1 too-many-fields",
        "b.txt:2 too-many-fields", "b.txt:3 unknown-tag", "b.txt:4 pattern-error",
        "b.txt:5 unbalanced-braces", "b.txt:7 too-few-fields", "b.txt:8 too-many-fields",
        "b.txt:9 hidden-entry", "k.ltc:10 missing-data-file"}) {
    EXPECT_EQ(found.count(expected), 1u) << expected << "\n" << run.out;
  }
  EXPECT_EQ(found.size(), 11u) << run.out;
  // A blank cut the pattern, not the answer: the fields are shown, no fix.
  const nlohmann::json& morning = found["b.txt:8 too-many-fields"];
  EXPECT_TRUE(Contains(morning["message"], "read as \"good\" | \"morning\" | \"おはよう\""))
      << morning;
  EXPECT_TRUE(morning["fix"].is_null()) << morning;
  const nlohmann::json& hello = found["b.txt:1 too-many-fields"];
  EXPECT_EQ(hello["fix"], "hello,\"Good morning, everyone!\"");
  EXPECT_EQ(hello["column"], 1);
  EXPECT_EQ(hello["end_column"], 30);
  EXPECT_TRUE(Contains(hello["message"], "\"morning, everyone!\" is dropped")) << hello;
  const nlohmann::json& cat = found["b.txt:2 too-many-fields"];
  EXPECT_EQ(cat["fix"], "猫,\"にゃー,かわいい\"");
  EXPECT_EQ(cat["end_column"], 11);
  EXPECT_EQ(found["a.txt:1 too-many-fields"]["fix"], "ctx,in,\"answer one\"");
  const nlohmann::json& choise = found["b.txt:3 unknown-tag"];
  EXPECT_TRUE(Contains(choise["message"], "did you mean CHOICE?")) << choise;
  EXPECT_EQ(choise["fix"], "{CHOICE:x|y}");
  EXPECT_EQ(choise["column"], 3);  // the fix replaces the tag as written
  EXPECT_EQ(choise["end_column"], 15);
  EXPECT_EQ(found["b.txt:5 unbalanced-braces"]["column"], 5);
  EXPECT_EQ(found["b.txt:5 unbalanced-braces"]["end_column"], 6);
  EXPECT_EQ(found["o.txt:1 condition-without-tag"]["end_column"], 9);
  EXPECT_TRUE(found["b.txt:4 pattern-error"]["fix"].is_null());
  EXPECT_TRUE(found["b.txt:4 pattern-error"]["column"].is_null());

  // The text output shows the new findings too.
  EXPECT_TRUE(Contains(RunParlevoCli({"check", base}).out, dir / "b.txt:1: the answer ends at"));

  const CliResult refused = RunParlevoCli({"check", "--json", dir / "nothing.ltc"});
  EXPECT_EQ(refused.status, 1);
  ASSERT_EQ(refused.OutLines().size(), 1u) << refused.out;
  const nlohmann::json refusal = nlohmann::json::parse(refused.OutLines()[0]);
  EXPECT_EQ(refusal["severity"], "error");
  EXPECT_EQ(refusal["code"], "base-file-not-found");
  EXPECT_EQ(refused.err, "");
}

// ---------------------------------------------------------------- --no-save

// chat, converse and expand read the state file with --no-save but never
// write it: a run leaves it byte for byte, and a character without one gets
// none.
TEST(NoSave, ChatConverseAndExpandLeaveTheStateFileByteForByte) {
  ScratchDir dir;
  const std::string base = dir.WriteBytes(
      "k.ltc", Sjis({"name", "k", "version", "210", "data02", "o.txt", "datac2", "c.txt"}));
  dir.WriteBytes("o.txt", Sjis({"{EQ{OPERATEMESSAGE}|LCCALLED},{COUNT50++}{COUNT50}回目"}));
  dir.WriteBytes("c.txt", Sjis({"{COUNT50++}{MEMO60:{PREV}}はい"}));
  ASSERT_EQ(RunParlevoCli({"chat", "--partner", "p", base}, "x\n").status, 0);
  const std::string saved = dir.Read("k.lts");
  ASSERT_FALSE(saved.empty());

  const std::vector<std::vector<std::string>> runs = {
      {"chat", "--no-save", "--partner", "p", base},
      {"converse", "--no-save", "--turns", "6", "--interval", "0", base, base},
      {"expand", "--no-save", "--character", base, "{COUNT50++}{MEMO61:y}{COUNT50}"},
  };
  for (const auto& args : runs) {
    SCOPED_TRACE(args[0]);
    const CliResult run = RunParlevoCli(args, "y\nz\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_FALSE(Contains(run.err, "error")) << run.err;
    EXPECT_EQ(dir.Read("k.lts"), saved);
  }
  // The state file is read all the same: the opening counts on from it.
  EXPECT_EQ(test::SplitOutputLines(RunParlevoCli(runs[0]).out)[0], "k > 3回目");

  std::filesystem::remove(dir / "k.lts");
  EXPECT_EQ(RunParlevoCli(runs[0]).status, 0);
  EXPECT_FALSE(std::filesystem::exists(dir / "k.lts"));
}

}  // namespace
}  // namespace parlevo
