// Control tags (IF, SCRIPTIZE:) and the tags that reach outside: RESULT and
// the execution tags, which never run anything here.
#include <fcntl.h>
#include <unistd.h>
#ifdef __linux__
#include <linux/fs.h>
#include <sys/ioctl.h>
#endif

#include <filesystem>
#include <fstream>

#include "common/character_test_access.h"
#include "tag_fixture.h"

namespace parlevo {
namespace {

namespace fs = std::filesystem;

using ControlTagsTest = TagTest;

TEST_F(ControlTagsTest, Choices) {
  ExpectAll({
      {"{IF{==1|1}yes|no}", "yes"},
      {"{IF{==1|2}yes|no}", "no"},
      {"{IF{==1|2}a|b|c}", "b|c"},
      {"{IF{==1|1}a|b|c}", "a"},
      {"{IFTRUEyes}", "{IFTRUEyes}"},
      {"{IF{==1|1}|no}", "{IFTrue|no}"},
      {"{IF{FLAG01}[on]|[off]}", "[off]"},
  });
}

TEST_F(ControlTagsTest, BothBranchesRunUnlessScriptized) {
  Expand("{IF{==1|1}{MEMO01:x}|{MEMO02:y}}");
  EXPECT_EQ(character.Memo(1), "x");
  EXPECT_EQ(character.Memo(2), "y");
  Expand("{SCRIPTIZE:{IF{==1|1}[MEMO03:on]|[MEMO04:off]}}");
  EXPECT_EQ(character.Memo(3), "on");
  EXPECT_EQ(character.Memo(4), "");
}

TEST_F(ControlTagsTest, Scriptize) {
  ExpectAll({
      {"{SCRIPTIZE:[NOW]}", "2004/03/07 09:05:01"},
      {"{SCRIPTIZE:[+1|[*2|3]]}", "7"},
      // The second bytes of ゼ and ゾ are "[" and "]" in Shift JIS.
      {"{SCRIPTIZE:ゼ[+1|1]ゾ}", "ゼ2ゾ"},
      {"x{SCRIPTIZE:a]b}", ""},
  });
}

TEST_F(ControlTagsTest, NothingIsEverExecuted) {
  ExpectAll({
      {"{ALLOWEXECUTE}", "False"},
      {"{ENTRUSTtool.exe|x}", "False"},
      {"{ENTRUSTtool.exe}", "{ENTRUSTtool.exe}"},
      {"{ENDENTRUST}", "False"},
      {"{SHELL:readme.txt}", "False"},
  });
}

class ResultTagTest : public TagTest {
 protected:
  void SetUp() override {
    TagTest::SetUp();
    folder_ = fs::temp_directory_path() / ("parlevo-result-" + std::to_string(getpid()));
    fs::create_directories(folder_);
    TCharacterTestAccess(character).SetFolder(folder_.string() + "/");
  }
  void TearDown() override {
    LockFolder(false);
    fs::remove_all(folder_);
    TagTest::TearDown();
  }
  // Makes the folder refuse deletions: read-only, or immutable where
  // permissions don't bind (the superuser on Linux).
  bool LockFolder(bool lock) {
    if (geteuid() != 0) {
      fs::permissions(folder_,
                      lock ? fs::perms::owner_read | fs::perms::owner_exec : fs::perms::owner_all);
      return true;
    }
#ifdef __linux__
    int fd = open(folder_.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return false;
    int flags = 0;
    bool done = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = lock ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    done = done && ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    close(fd);
    return done;
#else
    return false;
#endif
  }
  void WriteResult(const std::string& bytes) {
    std::ofstream(folder_ / "Result.txt", std::ios::binary) << bytes;
  }
  fs::path folder_;
};

TEST_F(ResultTagTest, ReadsTheFirstLineAndDeletesTheFile) {
  WriteResult("42\r\nmore\r\n");
  EXPECT_EQ(Expand("{RESULT}"), "42");
  EXPECT_FALSE(fs::exists(folder_ / "Result.txt"));
  EXPECT_EQ(Expand("{RESULT}"), "{RESULT}");
  WriteResult(platform::Utf8ToAnsi("晴れ"));
  EXPECT_EQ(Expand("<{RESULT}>"), "<晴れ>");
  WriteResult("");
  EXPECT_EQ(Expand("{RESULT}"), "{RESULT}");
  EXPECT_FALSE(fs::exists(folder_ / "Result.txt"));
}

// try, test and the language server load characters that write nothing:
// they see the result a conversation would, and leave it to that conversation.
TEST_F(ResultTagTest, ACharacterThatWritesNothingLeavesTheFile) {
  TCharacterTestAccess(character).SetStateUse(TStateUse::kReadOnly);
  WriteResult("42\r\n");
  EXPECT_EQ(Expand("{RESULT}"), "42");
  EXPECT_EQ(Expand("{RESULT}"), "42");
  EXPECT_TRUE(fs::exists(folder_ / "Result.txt"));
}

TEST_F(ResultTagTest, AFileThatCannotBeDeletedIsLeftAlone) {
  WriteResult("42\r\n");
  if (!LockFolder(true)) GTEST_SKIP() << "can't make the folder refuse deletions";
  EXPECT_EQ(Expand("{RESULT}"), "{RESULT}");
  LockFolder(false);
  EXPECT_TRUE(fs::exists(folder_ / "Result.txt"));
}

TEST_F(ResultTagTest, AFileThatCannotBeReadIsLeftAlone) {
  const fs::path result = folder_ / "Result.txt";
  if (geteuid() == 0) {
#ifdef __linux__
    fs::create_symlink("/proc/self/mem", result);  // reading fails, even for root
#else
    GTEST_SKIP() << "permissions don't bind the superuser";
#endif
  } else {
    WriteResult("42\r\n");
    fs::permissions(result, fs::perms::none);
  }
  EXPECT_EQ(Expand("{RESULT}"), "{RESULT}");
  EXPECT_TRUE(fs::exists(fs::symlink_status(result)));
}

// A character with no data folder must not reach for "Result.txt" in the
// working directory.
TEST_F(ResultTagTest, NoDataFolderNoResultFile) {
  auto previous = fs::current_path();
  fs::current_path(folder_);
  WriteResult("42\r\n");
  TCharacterTestAccess(character).SetFolder("");
  EXPECT_EQ(Expand("{RESULT}"), "{RESULT}");
  EXPECT_TRUE(fs::exists(folder_ / "Result.txt"));
  fs::current_path(previous);
}

}  // namespace
}  // namespace parlevo
