// Tests for text files: line rules, path translation with case-insensitive
// lookup, native paths, reading errors, atomic replacing, keeping a file
// aside and the path-name helpers.

#include "platform/textfile.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/codepage.h"

namespace parlevo::platform {
namespace {

namespace fs = std::filesystem;

// A fresh folder under the system's temp folder, removed afterwards.
class TempDir : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = (fs::temp_directory_path() / "parlevo-textfile-XXXXXX").string();
    ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(dir_, ec);
  }
  // Path of `name` inside the folder, as a string.
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  void Write(const std::string& name, const std::string& bytes) const {
    fs::create_directories((dir_ / name).parent_path());
    std::ofstream(dir_ / name, std::ios::binary) << bytes;
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(dir_ / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  fs::path dir_;
};

TEST(TextFile, SplitLines) {
  using Lines = std::vector<std::string>;
  const struct {
    std::string bytes;
    Lines lines;
  } cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\n", {"a"}},
      {"a\n\n", {"a", ""}},
      {"a\rb\nc\r\nd", {"a", "b", "c", "d"}},
      {"\r\n\r\n", {"", ""}},
      {"a\n\rb", {"a", "", "b"}},  // LF CR is two breaks
      {std::string("ab\0cd\nef", 8), {"ab"}},
      {std::string("\0", 1), {}},
      {" x \t", {" x \t"}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitLines(c.bytes), c.lines);
}

TEST(TextFile, PathNameHelpers) {
  // "ソ" is 0x83 0x5C: its second byte is no delimiter.
  const std::string so = "\x83\x5C";
  EXPECT_EQ(ExtractFileDir("C:\\chars\\robo.ltc"), "C:\\chars\\");
  EXPECT_EQ(ExtractFileDir("chars/robo.ltc"), "chars/");
  EXPECT_EQ(ExtractFileDir("C:robo.ltc"), "C:");
  EXPECT_EQ(ExtractFileDir("robo.ltc"), "");
  EXPECT_EQ(ExtractFileDir("a\\" + so + "\\b.txt"), "a\\" + so + "\\");
  EXPECT_EQ(ExtractFileDir(so + "x.txt"), "");
  EXPECT_EQ(ExtractFileName("a\\" + so + ".txt"), so + ".txt");
  EXPECT_TRUE(EndsWithDelimiter("data\\"));
  EXPECT_TRUE(EndsWithDelimiter("data/"));
  EXPECT_FALSE(EndsWithDelimiter("data"));
  EXPECT_FALSE(EndsWithDelimiter(""));
  EXPECT_FALSE(EndsWithDelimiter("data" + so));
  EXPECT_TRUE(EndsWithDelimiter("data" + so + "\\"));
  EXPECT_EQ(ChangeFileExt("c\\robo.ltc", ".lts"), "c\\robo.lts");
  EXPECT_EQ(ChangeFileExt("c\\robo", ".lts"), "c\\robo.lts");
  EXPECT_EQ(ChangeFileExt("c.d\\robo", ".lts"), "c.d\\robo.lts");
  EXPECT_EQ(ChangeFileExt("a.b.txt", ""), "a.b");
  EXPECT_EQ(ChangeFileExt(so + "\\" + so, ".lts"), so + "\\" + so + ".lts");
}

TEST_F(TempDir, NativePathSeparatorsAndCase) {
  Write("data/talk.txt", "x");
  Write("Data2/Talk.TXT", "y");
  const std::string base = dir_.string();
  EXPECT_EQ(NativePath(base + "\\data\\talk.txt"), Path("data/talk.txt"));
  EXPECT_EQ(NativePath(base + "/DATA/Talk.TXT"), Path("data/talk.txt"));
  EXPECT_EQ(NativePath(base + "\\data2\\talk.txt"), Path("Data2/Talk.TXT"));
  EXPECT_EQ(NativePath(base + "\\data\\"), Path("data/"));
  // A missing component ends the lookup; the rest stays as spelled.
  EXPECT_EQ(NativePath(base + "\\none\\DATA\\x"), Path("none/DATA/x"));
  EXPECT_TRUE(FileExists(NativePath(base + "\\DATA\\TALK.TXT")));
  EXPECT_FALSE(FileExists(NativePath(base + "\\DATA")));  // a folder is no file
  EXPECT_FALSE(FileExists(NativePath(base + "\\DATA\\nothing.txt")));
  EXPECT_EQ(JoinAnsiPath(base, "DATA\\Talk.txt"), Path("data/talk.txt"));
}

TEST_F(TempDir, NativePathConvertsShiftJisNames) {
  // "ソフト\表.txt": both names hide a 0x5C second byte.
  Write("ソフト/表.txt", "z");
  std::string ansi = dir_.string() + "\\\x83\x5C\x83\x74\x83\x67\\\x95\x5C.txt";
  EXPECT_EQ(NativePath(ansi), Path("ソフト/表.txt"));
  EXPECT_EQ(ReadFileBytes(NativePath(ansi)), "z");
}

// A folder the code page cannot spell ("é" and an emoji are not in Shift JIS)
// is reached as given; only the names joined to it are code page text.
TEST_F(TempDir, NativeFoldersReachTheFileSystemAsGiven) {
  Write("Téléchargements 🐱/Data/Talk.txt", "w");
  const std::string folder = Path("Téléchargements 🐱");
  EXPECT_EQ(JoinAnsiPath(folder, "data\\talk.txt"), Path("Téléchargements 🐱/Data/Talk.txt"));
  EXPECT_EQ(JoinAnsiPath(folder + "/", "data/"), Path("Téléchargements 🐱/Data/"));
  EXPECT_EQ(ReadFileBytes(JoinAnsiPath(folder, "DATA\\TALK.TXT")), "w");
  EXPECT_EQ(NativeFileDir(folder + "/x.ltc"), folder + "/");
  EXPECT_EQ(NativeFileName(folder + "/x.ltc"), "x.ltc");
  WriteTextLinesAtomic(folder + "/state.lts", {"é"});
  EXPECT_EQ(Read("Téléchargements 🐱/state.lts"), "é\r\n");
  try {
    ReadFileBytes(folder + "/missing.txt");
    FAIL() << "no exception";
  } catch (const EFileError& e) {
    // The message is UTF-8 and names the path as the file system knows it.
    EXPECT_EQ(std::string(e.what()),
              "cannot open file \"" + folder + "/missing.txt\": No such file or directory");
    EXPECT_EQ(e.Path(), folder + "/missing.txt");
  }
}

TEST_F(TempDir, ReadsBytesAndLines) {
  Write("base.txt", "Name\r\nRobo\nFolder\rdata\r\n");
  EXPECT_EQ(ReadTextLines(Path("base.txt")),
            (std::vector<std::string>{"Name", "Robo", "Folder", "data"}));
  EXPECT_EQ(ReadFileBytes(Path("base.txt")).size(), 24u);
  Write("empty.txt", "");
  EXPECT_TRUE(ReadTextLines(Path("empty.txt")).empty());
}

TEST_F(TempDir, UnreadableFilesThrowNamingTheFile) {
  try {
    ReadFileBytes(Path("missing.txt"));
    FAIL() << "no exception";
  } catch (const EFileError& e) {
    EXPECT_NE(std::string(e.what()).find("missing.txt"), std::string::npos) << e.what();
  }
  fs::create_directories(dir_ / "folder");
  EXPECT_THROW(ReadFileBytes(Path("folder")), EFileError);
}

TEST_F(TempDir, FileOverItsReadBudgetIsAFileError) {
  Write("big.txt", std::string(200000, 'x'));
  EXPECT_EQ(ReadFileBytes(Path("big.txt"), 200000).size(), 200000u);
  EXPECT_THROW(ReadFileBytes(Path("big.txt"), 199999), EFileError);
  EXPECT_THROW(ReadTextLines(Path("big.txt"), 1000), EFileError);
}

TEST_F(TempDir, WritesWithCrLfAndReplaces) {
  WriteTextLinesAtomic(Path("state.lts"), {"one", "", "two"});
  EXPECT_EQ(Read("state.lts"), "one\r\n\r\ntwo\r\n");
  WriteTextLinesAtomic(NativePath(Path("STATE.LTS")), {"three"});  // found ignoring case
  EXPECT_EQ(Read("state.lts"), "three\r\n");
  WriteTextLinesAtomic(Path("state.lts"), {});
  EXPECT_EQ(Read("state.lts"), "");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(TempDir, FailedWriteKeepsOldFileAndLeavesNoTemp) {
  // The target is a folder: the rename over it fails.
  fs::create_directories(dir_ / "target");
  Write("target/inner.txt", "keep");
  EXPECT_THROW(WriteTextLinesAtomic(Path("target"), {"x"}), EFileError);
  EXPECT_EQ(Read("target/inner.txt"), "keep");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
  // The folder does not exist.
  EXPECT_THROW(WriteTextLinesAtomic(Path("nowhere/state.lts"), {"x"}), EFileError);
  EXPECT_FALSE(fs::exists(dir_ / "nowhere"));
}

TEST_F(TempDir, ReadOnlyFolderKeepsOldFile) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  Write("state.lts", "old\r\n");
  fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_THROW(WriteTextLinesAtomic(Path("state.lts"), {"new"}), EFileError);
  fs::permissions(dir_, fs::perms::owner_all);
  EXPECT_EQ(Read("state.lts"), "old\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

// A write beyond the file size limit fails like a full disk instead of
// killing the process; the old file stays and no temporary file is left.
TEST_F(TempDir, AFileSizeLimitFailsTheWriteAndKillsNothing) {
  Write("state.lts", "old\r\n");
  const pid_t child = ::fork();
  if (child == 0) {
    rlimit small{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &small);
    bool failed = false;
    try {
      WriteTextLinesAtomic(Path("state.lts"), {std::string(100000, 'x')});
    } catch (const EFileError& e) {
      failed = std::string(e.what()).find("File too large") != std::string::npos;
    }
    ::_exit(failed ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status)) << "killed by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(Read("state.lts"), "old\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(TempDir, KeepAsideNeverReplacesAFile) {
  for (int round = 1; round <= 3; ++round) {
    Write("chara.lts", "v" + std::to_string(round));
    const std::string kept = KeepAside(Path("chara.lts"), "bad");
    EXPECT_EQ(kept, Path(round == 1 ? "chara.lts.bad" : "chara.lts.bad" + std::to_string(round)));
    EXPECT_FALSE(fs::exists(dir_ / "chara.lts"));
  }
  EXPECT_EQ(Read("chara.lts.bad"), "v1");
  EXPECT_EQ(Read("chara.lts.bad3"), "v3");
  EXPECT_THROW(KeepAside(Path("chara.lts"), "bad"), EFileError);  // nothing to keep
}

TEST_F(TempDir, AnUnreadableFolderIsAFileErrorAndAMissingOneIsNot) {
  EXPECT_NO_THROW(CheckFolderReadable(Path("none/")));
  fs::create_directories(dir_ / "data");
  EXPECT_NO_THROW(CheckFolderReadable(Path("data/")));
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  fs::permissions(dir_ / "data", fs::perms::none);
  try {
    CheckFolderReadable(Path("data/"));
    ADD_FAILURE() << "no exception";
  } catch (const EFileError& e) {
    EXPECT_EQ(std::string(e.what()),
              "cannot read folder \"" + Path("data/") + "\": Permission denied");
  }
  fs::permissions(dir_ / "data", fs::perms::owner_all);
}

TEST_F(TempDir, DeleteFile) {
  Write("Result.txt", "r");
  EXPECT_TRUE(DeleteFile(JoinAnsiPath(dir_.string(), "result.txt")));
  EXPECT_FALSE(fs::exists(dir_ / "Result.txt"));
  EXPECT_FALSE(DeleteFile(Path("Result.txt")));
}

}  // namespace
}  // namespace parlevo::platform
