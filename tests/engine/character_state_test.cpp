// The state file: created at first load, slots 50-99 round trip enciphered
// with the character's name, tolerant reading, and saving that never leaves
// a broken file behind.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "character_test_util.h"
#include "data/crypt.h"
#include "engine/character.h"
#include "platform/textfile.h"

namespace parlevo {
namespace {

using testing::Ansi;
using testing::CharacterRecipe;
using testing::MakeCharacter;
using testing::ReadBytes;
using testing::TempDir;

const CharacterRecipe kSimple = {"210", "記憶", {{"datab2", {"A,1"}}}};

// The 150 plain lines of a state file (key line removed, deciphered).
std::vector<std::string> PlainStateLines(const std::string& path) {
  std::vector<std::string> lines = platform::ReadTextLines(path);
  TCrypt crypt(cmDecrypt);
  crypt.SetKey(ReadFileKey(lines));
  crypt.CryptLines(lines);
  return lines;
}

// A state file of `lines` enciphered with `key`, as any writer would make it.
void WriteState(const std::string& path, std::vector<std::string> lines, const std::string& key) {
  TCrypt crypt(cmEncrypt);
  crypt.SetKey(key);
  crypt.CryptLines(lines);
  platform::WriteTextLinesAtomic(path, lines);
}

std::vector<std::string> StateLines(const std::string& memo50, const std::string& count50,
                                    const std::string& flag50) {
  std::vector<std::string> lines(50, "");
  lines[0] = memo50;
  lines.insert(lines.end(), 50, "0");
  lines[50] = count50;
  lines.insert(lines.end(), 50, "False");
  lines[100] = flag50;
  return lines;
}

TEST(CharacterState, FirstLoadCreatesAnEmptyStateFileWithTheEmptyKey) {
  TempDir dir;
  TCharacter character(MakeCharacter(dir, kSimple));
  ASSERT_TRUE(platform::FileExists(dir / "chara.lts"));
  std::vector<std::string> raw = platform::ReadTextLines(dir / "chara.lts");
  ASSERT_EQ(raw.size(), 151u);
  EXPECT_EQ(raw[0], "encrypted");
  EXPECT_EQ(raw[1], "");
  EXPECT_EQ(raw[51], "0");
  EXPECT_EQ(raw[101], "False");
  for (int i = 0; i < 100; ++i) {
    EXPECT_EQ(character.Memo(i), "");
    EXPECT_EQ(character.Count(i), 0);
    EXPECT_FALSE(character.Flag(i));
  }
}

TEST(CharacterState, UpperSlotsSurviveARunEncipheredWithTheName) {
  TempDir dir;
  const std::string base = MakeCharacter(dir, kSimple);
  {
    TCharacter character(base);
    character.SetMemo(50, Ansi("覚えておいて"));
    character.SetMemo(99, "last");
    character.SetMemo(10, "forgotten");
    character.SetCount(50, 0.1);
    character.SetCount(75, -2.5);
    character.SetCount(98, 1e20);
    character.SetCount(10, 7);
    character.SetFlag(60, true);
    character.SetFlag(10, true);
  }
  std::vector<std::string> raw = platform::ReadTextLines(dir / "chara.lts");
  EXPECT_EQ(ReadFileKey(raw), Ansi("記憶"));
  std::vector<std::string> plain = PlainStateLines(dir / "chara.lts");
  ASSERT_EQ(plain.size(), 150u);
  EXPECT_EQ(plain[50], "0.1");
  EXPECT_EQ(plain[110], "True");

  TCharacter again(base);
  EXPECT_EQ(again.Memo(50), Ansi("覚えておいて"));
  EXPECT_EQ(again.Memo(99), "last");
  EXPECT_EQ(again.Count(50), 0.1);
  EXPECT_EQ(again.Count(75), -2.5);
  EXPECT_EQ(again.Count(98), 1e20);
  EXPECT_TRUE(again.Flag(60));
  EXPECT_FALSE(again.Flag(61));
  // Slots below 50 live only as long as the object.
  EXPECT_EQ(again.Memo(10), "");
  EXPECT_EQ(again.Count(10), 0);
  EXPECT_FALSE(again.Flag(10));
}

// Collects what the character reports about its state file.
std::vector<std::string>& Reported() {
  static std::vector<std::string> messages;
  return messages;
}

class CharacterStateReports : public ::testing::Test {
 protected:
  void SetUp() override { Reported().clear(); }

  // A character whose state file problems land in Reported().
  static TCharacterOptions Reporting() {
    TCharacterOptions options;
    options.OnStateProblem = [](TStateProblem, const std::string& m) { Reported().push_back(m); };
    return options;
  }
};

// What can be read is read; a file that is not what the program writes is
// also kept aside as "chara.lts.bad" and reported, before any save.
TEST_F(CharacterStateReports, ReadingToleratesDamageAndKeepsTheDamagedFile) {
  struct Case {
    const char* what;
    std::vector<std::string> lines;
    std::string memo50;
    double count50;
    bool flag50;
    bool kept;
  };
  std::vector<std::string> full = StateLines("m", "2.5", "True");
  std::vector<std::string> short_one(full.begin(), full.begin() + 149);
  std::vector<std::string> long_one = full;
  long_one.insert(long_one.end(), {"extra", "lines"});
  std::vector<std::string> control = full;  // written plain: the cipher would change it
  control.insert(control.begin(), "encrypted");
  control[4] = "a\x01b";
  const std::vector<Case> cases = {
      {"150 lines", full, "m", 2.5, true, false},
      {"lines after the 150th are ignored", long_one, "m", 2.5, true, false},
      {"flags read as truth texts", StateLines("m", "1", "true"), "m", 1, true, false},
      {"a non-zero whole number is true", StateLines("m", "1", "5"), "m", 1, true, false},
      {"149 lines clear everything", short_one, "", 0, false, true},
      {"empty", {}, "", 0, false, true},
      {"a count that is no number is 0", StateLines("m", "abc", "True"), "m", 0, true, true},
      {"anything else is false", StateLines("m", "1", "yes"), "m", 1, false, true},
      {"a control character", control, "m", 2.5, true, true},
      {"a memo over the cap is cut", StateLines(std::string(70000, 'x'), "1", "True"),
       std::string(65536, 'x'), 1, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Reported().clear();
    TempDir dir;
    const std::string base = MakeCharacter(dir, kSimple);
    if (c.lines.size() > 0 && c.lines[0] == "encrypted") {
      platform::WriteTextLinesAtomic(dir / "chara.lts", c.lines);
    } else {
      WriteState(dir / "chara.lts", c.lines, Ansi("記憶"));
    }
    const std::string written = ReadBytes(dir / "chara.lts");
    {
      TCharacter character(base, Reporting());
      EXPECT_EQ(character.Memo(50), c.memo50);
      EXPECT_EQ(character.Count(50), c.count50);
      EXPECT_EQ(character.Flag(50), c.flag50);
      EXPECT_EQ(Reported().size(), c.kept ? 1u : 0u);
    }
    if (c.kept) {
      EXPECT_EQ(ReadBytes(dir / "chara.lts.bad"), written) << "kept as it was";
      ASSERT_EQ(Reported().size(), 1u);
      EXPECT_NE(Reported()[0].find("chara.lts.bad"), std::string::npos) << Reported()[0];
      EXPECT_EQ(TCharacter(base, Reporting()).Memo(50), c.memo50)
          << "a fresh file with what was read";
    } else {
      EXPECT_FALSE(std::filesystem::exists(dir / "chara.lts.bad"));
    }
  }
}

TEST_F(CharacterStateReports, ACutStateFileIsKeptUnderAFreeName) {
  TempDir dir;
  const std::string base = MakeCharacter(dir, kSimple);
  { TCharacter(base, Reporting()).SetCount(50, 0); }
  for (int round = 1; round <= 2; ++round) {
    std::string bytes = ReadBytes(dir / "chara.lts");
    std::filesystem::resize_file(dir / "chara.lts", bytes.size() / 2);
    TCharacter character(base, Reporting());
  }
  EXPECT_TRUE(std::filesystem::exists(dir / "chara.lts.bad"));
  EXPECT_TRUE(std::filesystem::exists(dir / "chara.lts.bad2"));
  EXPECT_EQ(Reported().size(), 2u);
}

// The largest counts the tags can make are saved rounded past the largest
// double; they read back as that value, and a file that keeps being damaged
// leaves only its newest few copies aside.
TEST_F(CharacterStateReports, EveryCountSurvivesSavingAndDamageKeepsAFewCopies) {
  TempDir dir;
  const std::string base = MakeCharacter(dir, kSimple);
  constexpr double kLargest = std::numeric_limits<double>::max();
  {
    TCharacter character(base, Reporting());
    character.SetCount(60, kLargest);
    character.SetCount(61, -kLargest);
  }
  for (int run = 0; run < 2; ++run) {
    TCharacter character(base, Reporting());
    EXPECT_EQ(character.Count(60), kLargest);
    EXPECT_EQ(character.Count(61), -kLargest);
  }
  EXPECT_TRUE(Reported().empty()) << Reported()[0];
  EXPECT_FALSE(std::filesystem::exists(dir / "chara.lts.bad"));

  for (int round = 1; round <= 6; ++round) {
    std::filesystem::resize_file(dir / "chara.lts", 10);
    TCharacter character(base, Reporting());
  }
  EXPECT_EQ(Reported().size(), 6u);
  EXPECT_TRUE(std::filesystem::exists(dir / "chara.lts.bad3"));
  EXPECT_FALSE(std::filesystem::exists(dir / "chara.lts.bad4"));
}

// A state file that is no file is left as it is, without blocking on it; one
// behind a link is written through the link.
TEST_F(CharacterStateReports, AStateFileThatIsNoFileIsLeftAloneAndALinkIsFollowed) {
  TempDir dir;
  const std::string base = MakeCharacter(dir, kSimple);
  ASSERT_EQ(::mkfifo((dir / "chara.lts").c_str(), 0600), 0);
  for (TStateUse use : {TStateUse::kReadWrite, TStateUse::kReadOnly}) {
    TCharacterOptions options = Reporting();
    options.StateUse = use;
    TCharacter character(base, options);
    character.SetMemo(50, "kept nowhere");
  }
  EXPECT_TRUE(std::filesystem::is_fifo(dir / "chara.lts"));
  ASSERT_EQ(Reported().size(), 2u);
  EXPECT_NE(Reported()[0].find("not a regular file"), std::string::npos) << Reported()[0];

  std::filesystem::remove(dir / "chara.lts");
  { TCharacter(base, Reporting()).SetMemo(50, "first"); }
  std::filesystem::rename(dir / "chara.lts", dir / "real.lts");
  std::filesystem::create_symlink("real.lts", dir / "chara.lts");
  {
    TCharacter character(base, Reporting());
    EXPECT_EQ(character.Memo(50), "first");
    character.SetMemo(50, "second");
  }
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "chara.lts"));
  EXPECT_EQ(TCharacter(base, Reporting()).Memo(50), "second");
  EXPECT_EQ(Reported().size(), 2u);
}

TEST(CharacterState, APlainStateFileIsReadAsItIs) {
  TempDir dir;
  const std::string base = MakeCharacter(dir, kSimple);
  platform::WriteTextLinesAtomic(dir / "chara.lts", StateLines("plain", "4", "True"));
  TCharacter character(base);
  EXPECT_EQ(character.Memo(50), "plain");
  EXPECT_EQ(character.Count(50), 4);
}

TEST(CharacterState, AHugeStateFileIsReadOnlyAsFarAsNeeded) {
  TempDir dir;
  const std::string base = MakeCharacter(dir, kSimple);
  std::vector<std::string> lines = StateLines("m", "9", "True");
  lines.resize(100000, std::string(40, 'x'));
  WriteState(dir / "chara.lts", lines, Ansi("記憶"));
  TCharacter character(base);
  EXPECT_EQ(character.Memo(50), "m");
  EXPECT_EQ(character.Count(50), 9);
  EXPECT_TRUE(character.Flag(50));
}

TEST(CharacterState, LineBreaksInAMemoAreSavedAsBrTags) {
  TempDir dir;
  const std::string base = MakeCharacter(dir, kSimple);
  {
    TCharacter character(base);
    character.SetMemo(50, Ansi("一行目\r\n二行目"));
    character.SetMemo(51, "a\rb");
    character.SetMemo(52, "c\nd\n");
    character.SetMemo(53, "tab\there\x01");
    character.SetMemo(54, "after");
    character.SetCount(50, 5);
    character.SetFlag(50, true);
  }
  TCharacter again(base);
  EXPECT_EQ(again.Memo(50), Ansi("一行目{BR}二行目"));
  EXPECT_EQ(again.ExpandTags(u"<{MEMO50}>"), platform::Utf8ToWide("<一行目\r\n二行目>"))
      << "shown, the memo has its line break back";
  EXPECT_EQ(again.Memo(51), "a{BR}b");
  EXPECT_EQ(again.Memo(52), "c{BR}d{BR}");
  EXPECT_EQ(again.Memo(53), "tab here ");
  EXPECT_EQ(again.Memo(54), "after");
  EXPECT_EQ(again.Count(50), 5);
  EXPECT_TRUE(again.Flag(50));
}

TEST(CharacterState, TheLastCharacterReleasedWins) {
  TempDir dir;
  const std::string base = MakeCharacter(dir, kSimple);
  auto first = std::make_unique<TCharacter>(base);
  auto second = std::make_unique<TCharacter>(base);
  first->SetMemo(50, "first");
  second->SetMemo(50, "second");
  first.reset();
  second.reset();
  EXPECT_EQ(TCharacter(base).Memo(50), "second");
}

using CharacterSaveFailure = CharacterStateReports;

TEST_F(CharacterSaveFailure, AReadOnlyFolderKeepsTheOldFileAndReports) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  TempDir dir;
  const std::string base = MakeCharacter(dir, kSimple);
  auto character = std::make_unique<TCharacter>(base, Reporting());
  const std::string before = ReadBytes(dir / "chara.lts");
  std::filesystem::permissions(
      dir.Folder(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  character->SetMemo(50, "changed");
  EXPECT_THROW(character->SaveState(), platform::EFileError);
  EXPECT_NO_THROW(character.reset());
  ASSERT_EQ(Reported().size(), 1u);
  EXPECT_NE(Reported()[0].find("chara.lts"), std::string::npos);
  EXPECT_EQ(ReadBytes(dir / "chara.lts"), before);
}

TEST_F(CharacterSaveFailure, AFullDiskKeepsTheOldFileAndReports) {
  TempDir dir;
  const std::string base = MakeCharacter(dir, kSimple);
  auto character = std::make_unique<TCharacter>(base, Reporting());
  character->SetMemo(50, std::string(4096, 'x'));
  const std::string before = ReadBytes(dir / "chara.lts");

  // A file size limit stands in for a full disk, and works for root too;
  // its signal must not kill the process.
  rlimit old_limit{};
  getrlimit(RLIMIT_FSIZE, &old_limit);
  rlimit small = old_limit;
  small.rlim_cur = 1024;
  setrlimit(RLIMIT_FSIZE, &small);
  character.reset();
  setrlimit(RLIMIT_FSIZE, &old_limit);

  EXPECT_EQ(Reported().size(), 1u);
  EXPECT_EQ(ReadBytes(dir / "chara.lts"), before);
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Folder())) {
    left.push_back(entry.path().filename().string());
  }
  EXPECT_EQ(left.size(), 3u) << "no temporary file is left behind";
}

// Saving as a conversation goes writes only what changed, and a save that
// keeps failing is said once, until one succeeds again.
TEST_F(CharacterSaveFailure, ChangesAreSavedAndAFailingSaveIsSaidOnce) {
  TempDir dir;
  const std::string base = MakeCharacter(dir, kSimple);
  TCharacter character(base, Reporting());
  const auto written = [&] { return std::filesystem::last_write_time(dir / "chara.lts"); };
  const auto before = written();
  character.SetMemo(10, "not kept");
  character.SaveChanges();
  EXPECT_EQ(written(), before) << "slot 10 is not kept, so nothing changed";

  rlimit old_limit{};
  getrlimit(RLIMIT_FSIZE, &old_limit);
  rlimit tiny = old_limit;
  tiny.rlim_cur = 100;
  setrlimit(RLIMIT_FSIZE, &tiny);
  for (int i = 0; i < 3; ++i) {
    character.SetCount(50, i + 1);
    character.SaveChanges();
  }
  setrlimit(RLIMIT_FSIZE, &old_limit);
  EXPECT_EQ(Reported().size(), 1u);
  character.SaveChanges();
  EXPECT_EQ(TCharacter(base, TStateUse::kReadOnly).Count(50), 3);
  EXPECT_EQ(Reported().size(), 1u);
}

// A character whose first state file cannot be written runs on its initial
// state; the save at release tries again and reports the failure.
TEST_F(CharacterSaveFailure, AFirstStateFileThatCannotBeWrittenDoesNotStopTheCharacter) {
  TempDir dir;
  const std::string base = MakeCharacter(dir, kSimple);
  // A file size limit stands in for a full disk or a read-only folder.
  rlimit old_limit{};
  getrlimit(RLIMIT_FSIZE, &old_limit);
  rlimit tiny = old_limit;
  tiny.rlim_cur = 100;
  setrlimit(RLIMIT_FSIZE, &tiny);
  auto character = std::make_unique<TCharacter>(base, Reporting());
  const std::string first_error = character->FirstStateError();
  const bool talks = character->Talk(u"A", AllSlots) == u"1";
  character.reset();
  setrlimit(RLIMIT_FSIZE, &old_limit);

  EXPECT_NE(first_error.find("chara.lts"), std::string::npos) << first_error;
  EXPECT_TRUE(talks);
  ASSERT_EQ(Reported().size(), 1u) << "reported once, at the end";
  EXPECT_NE(Reported()[0].find("was not saved"), std::string::npos) << Reported()[0];
  EXPECT_FALSE(std::filesystem::exists(dir / "chara.lts"));
}

}  // namespace
}  // namespace parlevo
