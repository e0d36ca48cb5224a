// Loading a character: the four refusals and their messages, each kind of
// data plain and enciphered, tiers across files, missing files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "character_test_util.h"
#include "engine/character.h"
#include "platform/clock.h"
#include "platform/textfile.h"

namespace parlevo {
namespace {

using testing::Ansi;
using testing::CharacterRecipe;
using testing::MakeCharacter;
using testing::TempDir;
using testing::WriteLines;

// The message a construction fails with, or "" when it succeeds.
std::string RefusalOf(const std::string& base_file) {
  try {
    TCharacter character(base_file);
  } catch (const ELumoInvalidCharacter& e) {
    return e.what();
  }
  return "";
}

const CharacterRecipe kOneAnswer = {"210", "テスト", {{"datab2", {"こんにちは,やあ"}}}};

TEST(CharacterLoad, VersionsBelow210OrNotWholeNumbersAreRefused) {
  struct Case {
    std::string version;
    bool accepted;
  };
  const std::vector<Case> cases = {{"210", true},   {"305", true},  {" 210", true},
                                   {"$D2", true},   {"209", false}, {"", false},
                                   {"2.10", false}, {"abc", false}, {"-210", false}};
  for (const Case& c : cases) {
    TempDir dir;
    CharacterRecipe recipe = kOneAnswer;
    recipe.version = c.version;
    EXPECT_EQ(RefusalOf(MakeCharacter(dir, recipe)),
              c.accepted ? "" : "character is not supported in this version")
        << "version \"" << c.version << "\"";
  }
}

TEST(CharacterLoad, RefusesMissingAndInvalidBaseFiles) {
  TempDir dir;
  EXPECT_EQ(RefusalOf(dir / "nobody.ltc"), "characterfile is not found");
  WriteLines(dir / "nameless.ltc", {"version", "210", "name", "", "folder", ""});
  EXPECT_EQ(RefusalOf(dir / "nameless.ltc"), "characterfile is invalid");
}

TEST(CharacterLoad, RefusesCharactersWithoutUsableEntries) {
  const std::vector<CharacterRecipe> empty_ones = {
      {"210", "空", {}},
      {"210", "空", {{"data01", {"TRUE"}}, {"datab1", {"{PRIOR}", "短い"}}}},  // too few fields
      {"210", "空", {{"datab1", {"{PRIOR},x", "{prior},y"}}, {"datac2", {"{PRIOR}"}}}},
      {"210", "空", {{"datac1", {"{ENDOFDATA}", "隠れた"}}}},
  };
  for (const CharacterRecipe& recipe : empty_ones) {
    TempDir dir;
    EXPECT_EQ(RefusalOf(MakeCharacter(dir, recipe)), "character contains no data");
    EXPECT_FALSE(platform::FileExists(dir / "chara.lts")) << "refused before the state file";
  }
  // Data keys naming only files that do not exist.
  TempDir dir;
  WriteLines(dir / "ghost.ltc",
             {"version", "210", "name", "幽霊", "data01", "a.txt b.txt", "datac2", "\"c d.txt\""});
  EXPECT_EQ(RefusalOf(dir / "ghost.ltc"), "character contains no data");
}

TEST(CharacterLoad, LoadsEveryKindOfTheTestCharacter) {
  TempDir dir;
  testing::CopyTestCharacters(dir);
  platform::FreezeClock(45000.5);
  TCharacter hanako(dir / "hanako.ltc");
  platform::UnfreezeClock();

  EXPECT_EQ(hanako.Name(), Ansi("花子"));
  EXPECT_EQ(hanako.FileName(), dir / "hanako.ltc");
  EXPECT_EQ(hanako.Folder(), dir / "hanako/");
  EXPECT_EQ(hanako.StatePath(), dir / "hanako/hanako.lts");
  EXPECT_EQ(hanako.StartTime(), 45000.5);
  EXPECT_EQ(hanako.TalkCount(), 0);
  EXPECT_FALSE(hanako.AllowExecute());

  // data02 also names a missing file, skipped; datab1 spans two files whose
  // marker is no entry; datab2 is enciphered.
  const std::vector<int> available = {1, 2, 1, 1, 4, 5, 3, 1};
  for (int i = 0; i < TCharacter::kSlotCount; ++i) {
    EXPECT_EQ(hanako.Slot(i).Available(), available[i]) << TCharacter::DataKey(i);
    EXPECT_EQ(hanako.Slot(i).UseOnce(), i % 2 == 0) << TCharacter::DataKey(i);
  }
  EXPECT_EQ(hanako.Slot(4).EntryCount(), 5);
  EXPECT_EQ(hanako.Slot(5).AnswerOf(0), Ansi("秘密は「{MEMO50}」です。"));
  EXPECT_EQ(&hanako.Slot(0), &hanako.Slot(0));
  EXPECT_EQ(&hanako.Slot(7), &hanako.Slot(7));
  EXPECT_THROW(hanako.Slot(8), std::out_of_range);

  // The committed state file was written by a separate tool with the same
  // cipher: its slot 50 comes back.
  EXPECT_EQ(hanako.Memo(50), Ansi("花子の秘密"));
  EXPECT_EQ(hanako.Count(50), 3);
  EXPECT_TRUE(hanako.Flag(50));
  EXPECT_EQ(hanako.Memo(51), "");
}

TEST(CharacterLoad, TheSecondCharacterLoadsFromItsTxtBaseFile) {
  TempDir dir;
  testing::CopyTestCharacters(dir);
  TCharacter taro(dir / "taro.txt");
  EXPECT_EQ(taro.Name(), Ansi("太郎"));
  EXPECT_EQ(taro.Slot(0).Available(), 0);
  EXPECT_EQ(taro.Slot(1).Available(), 1);  // one line too short; nothere.txt missing
  EXPECT_EQ(taro.Slot(4).Available(), 3);  // lines behind {ENDOFDATA} ignored
  EXPECT_TRUE(platform::FileExists(dir / "taro/taro.lts"));
}

TEST(CharacterLoad, DataFilesFollowTheFolderValue) {
  TempDir dir;
  WriteLines(dir / "sub/data/words.txt", {"A,1"});
  WriteLines(dir / "sub/base.ltc",
             {"version", "210", "name", "N", "folder", "data", "datab2", "words.txt"});
  TCharacter character(dir / "sub/base.ltc");
  EXPECT_EQ(character.Folder(), dir / "sub/data/");
  EXPECT_EQ(character.Slot(5).Available(), 1);
  EXPECT_TRUE(platform::FileExists(dir / "sub/data/base.lts"));
}

TEST(CharacterLoad, InspectingCollectsNotesAndTouchesNoStateFile) {
  TempDir dir;
  testing::CopyTestCharacters(dir);
  std::vector<TLoadNote> notes;
  {
    TCharacter taro(dir / "taro.txt", notes);
    EXPECT_EQ(taro.Name(), "");
    EXPECT_EQ(taro.Slot(4).Available(), 3);
  }
  EXPECT_FALSE(platform::FileExists(dir / "taro/taro.lts"));
  auto missing = std::find_if(notes.begin(), notes.end(), [](const TLoadNote& note) {
    return note.Message.find("nothere.txt") != std::string::npos;
  });
  ASSERT_NE(missing, notes.end());
  EXPECT_EQ(missing->File, dir / "taro.txt");
  EXPECT_EQ(missing->Line, 10);  // the data02 value line
  EXPECT_EQ(notes.front().File, dir / "taro/greet.txt") << "notes keep the loading order";

  std::vector<TLoadNote> refused_notes;
  TempDir empty;
  std::string base = MakeCharacter(empty, {"210", "空", {{"datab1", {"短い"}}}});
  EXPECT_THROW(TCharacter(base, refused_notes), ELumoInvalidCharacter);
  ASSERT_EQ(refused_notes.size(), 1u);
  EXPECT_EQ(refused_notes[0].Line, 1);
}

TEST(CharacterLoad, AnUnreadableDataFileIsAFileError) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
  TempDir dir;
  std::string base = MakeCharacter(dir, kOneAnswer);
  std::filesystem::permissions(dir / "datab2.txt", std::filesystem::perms::none);
  EXPECT_THROW(TCharacter{base}, platform::EFileError);
}

TEST(CharacterLoad, AnUnreadableDataFolderIsAFileErrorNamingTheFolder) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads every folder";
  TempDir dir;
  const std::string base =
      dir.Write("c.ltc", {"name", "c", "version", "210", "folder", "data", "datab2", "talk.txt"});
  dir.Write("data/talk.txt", {"A,1"});
  std::filesystem::permissions(dir / "data", std::filesystem::perms::none);
  try {
    TCharacter character(base);
    ADD_FAILURE() << "loaded";
  } catch (const platform::EFileError& e) {
    EXPECT_EQ(std::string(e.what()),
              "cannot read folder \"" + dir / "data/" + "\": Permission denied");
  }
  std::filesystem::permissions(dir / "data", std::filesystem::perms::owner_all);
}

// Each file within its own budget, but a base file may list one many times:
// the files together have a budget too, and the file that crosses it names it.
TEST(CharacterLoad, ThePersonalitysFilesTogetherHaveABudget) {
  TempDir dir;
  dir.Write("big.txt", {"A,1"});
  std::filesystem::resize_file(dir / "big.txt", 33 << 20);  // zeros: the text ends at the first
  const std::string twice = dir.Write(
      "twice.ltc", {"name", "c", "version", "210", "folder", "", "datab2", "big.txt,big.txt"});
  try {
    TCharacter character(twice, TStateUse::kReadOnly);
    ADD_FAILURE() << "loaded";
  } catch (const platform::EFileError& e) {
    EXPECT_EQ(std::string(e.what()), "cannot read file \"" + dir / "big.txt" +
                                         "\": the personality's files together exceed 64 MiB");
  }
}

// A folder the code page cannot spell holds the base file, the data folder
// and the state file: the user's path reaches the file system as given.
TEST(CharacterLoad, AFolderOutsideTheCodePageIsReachedAsGiven) {
  TempDir dir;
  const std::string folder = "Téléchargements 🐱";
  const std::string base =
      dir.Write(folder + "/kiri.ltc",
                {"name", "kiri", "version", "210", "folder", Ansi("データ"), "datab2", "talk.txt"});
  dir.Write(folder + "/データ/talk.txt", {"A,{MEMO50:kept}1"});
  {
    TCharacter character(base);
    EXPECT_EQ(character.StatePath(), dir / (folder + "/データ/kiri.lts"));
    character.ExpandTags(character.Talk(u"A", AllSlots));
  }
  EXPECT_EQ(TCharacter(base).Memo(50), "kept");
}

TEST(CharacterLoad, ACharacterWithNoFilesLoadsAndSavesNothing) {
  TempDir dir;
  {
    TCharacter nobody;
    EXPECT_EQ(nobody.StatePath(), "");
    EXPECT_EQ(nobody.BaseFile().GetValue("name"), "");
    nobody.SetMemo(60, "x");
    nobody.SaveState();
    nobody.LoadState();
    EXPECT_EQ(nobody.Memo(60), "x");
    EXPECT_EQ(nobody.Talk(u"hello", AllSlots), u"");
    EXPECT_EQ(nobody.TalkCount(), 1);
  }
  EXPECT_TRUE(std::filesystem::is_empty(dir.Folder()));
}

}  // namespace
}  // namespace parlevo
