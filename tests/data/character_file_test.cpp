// Tests of the base file reader: pairing, key case, first pair wins, the data
// folder, and what makes a file a character file.
#include "data/character_file.h"

#include <gtest/gtest.h>

#include "common/scratch_dir.h"
#include "platform/textfile.h"

namespace parlevo {
namespace {

using test::ScratchDir;

TEST(CharacterFile, ReadsPairsWithCaseFreeKeysAndFirstPairWinning) {
  ScratchDir dir;
  const std::string base = dir.Write("robo.ltc", {"Name", "Robo", "Folder", "data", "NAME", "Other",
                                                  "", "blank key", "Mood", "calm  ", "odd"});
  TCharacterFile file(base);
  EXPECT_EQ(file.GetValue("name"), "Robo");
  EXPECT_EQ(file.GetValue("NaMe"), "Robo");
  EXPECT_EQ(file.GetValue(""), "blank key");
  EXPECT_EQ(file.GetValue("mood"), "calm  ");
  EXPECT_EQ(file.GetValue("odd"), "");
  EXPECT_EQ(file.GetValue("missing"), "");
  EXPECT_EQ(file.Keys().size(), 5u);
  EXPECT_EQ(file.Keys()[2], "name");
  EXPECT_EQ(file.DataFolder(), dir.File("data") + "/");
  EXPECT_EQ(file.DataPath("talk.txt"), dir.File("data") + "/talk.txt");
}

TEST(CharacterFile, MissingFileGivesAnEmptyReader) {
  ScratchDir dir;
  TCharacterFile file(dir.File("none.ltc"));
  EXPECT_EQ(file.GetValue("name"), "");
  EXPECT_EQ(file.DataFolder(), "");
  EXPECT_EQ(file.DataPath("talk.txt"), "talk.txt");
  EXPECT_FALSE(IsCharacterFile(dir.File("none.ltc")));
}

TEST(CharacterFile, UnreadableFileThrowsNamingIt) {
  ScratchDir dir;
  std::string base = dir.Write("locked.ltc", {"name", "Robo"});
  std::filesystem::permissions(base, std::filesystem::perms::none);
  if (std::ifstream(base).is_open()) {
#ifdef __linux__
    base = "/proc/self/mem";  // a regular file whose reading fails, even for root
#else
    GTEST_SKIP() << "running with rights to read anything";
#endif
  }
  try {
    TCharacterFile file(base);
    FAIL() << "no error";
  } catch (const platform::EFileError& e) {
    EXPECT_NE(std::string(e.what()).find(platform::ExtractFileName(base)), std::string::npos)
        << e.what();
  }
}

TEST(ResolveDataFolder, JoinsBaseDirectoryAndFolder) {
  struct Case {
    std::string base, folder, out;
  } cases[] = {
      {"/chars/robo.ltc", "data", "/chars/data/"},
      {"/chars/robo.ltc", "", "/chars/"},
      {"/chars/robo.ltc", "data/", "/chars/data/"},
      {"/chars/robo.ltc", "data\\", "/chars/data/"},
      {"/chars/robo.ltc", "a\\b", "/chars/a/b/"},
      {"/chars/robo.ltc", "data ", "/chars/data /"},
      // The base file's path is native, the folder value code page text:
      // "ソ" (83 5C) at its end is no delimiter.
      {"/chars/robo.ltc", "\x83\x5C", "/chars/ソ/"},
      {"/Téléchargements/robo.ltc", "data", "/Téléchargements/data/"},
      // A base file named without a folder: the current directory, not the root.
      {"robo.ltc", "data", "./data/"},
      {"robo.ltc", "", "./"},
  };
  for (const Case& c : cases) {
    std::string expected = c.out;
#ifdef _WIN32
    for (char& ch : expected)
      if (ch == '/') ch = '\\';
#endif
    EXPECT_EQ(ResolveDataFolder(c.base, c.folder), expected) << c.base << " + " << c.folder;
  }
}

TEST(IsCharacterFile, NeedsANameOrAFolder) {
  ScratchDir dir;
  struct Case {
    std::vector<std::string> lines;
    bool out;
  } cases[] = {
      {{"name", "Robo"}, true},
      {{"folder", "data"}, true},
      {{"name", "", "folder", ""}, false},
      {{"version", "210"}, false},
      {{}, false},
  };
  int n = 0;
  for (const Case& c : cases) {
    const std::string base = dir.Write("c" + std::to_string(n++) + ".ltc", c.lines);
    EXPECT_EQ(IsCharacterFile(base), c.out) << base;
  }
}

TEST(CharacterFile, WindowsSpellingFindsFilesOnAnyFileSystem) {
  // The base file says "Data" and "sub\Talk.TXT"; on disk they are data/sub/talk.txt.
  TCharacterFile file(PARLEVO_TEST_DATA "/data/files/robo/robo.ltc");
  EXPECT_EQ(file.GetValue("name"), "\x83\x8D\x83\x7B");
  EXPECT_EQ(file.GetValue("datab2"), "sub\\Talk.TXT,missing.txt");
  EXPECT_TRUE(platform::FileExists(file.DataPath("sub\\Talk.TXT")));
  EXPECT_FALSE(platform::FileExists(file.DataPath("missing.txt")));
}

}  // namespace
}  // namespace parlevo
