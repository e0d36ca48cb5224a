// parlevo-cli convert keeps what it found: permissions and owner, symbolic
// links, the file budget, and the characters code page 932 spells twice.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/run_cli.h"
#include "common/scratch_dir.h"

namespace {

namespace fs = std::filesystem;
using parlevo::test::CliResult;
using parlevo::test::RunParlevoCli;

struct stat StatOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
  return st;
}

TEST(CliConvert, KeepsModeOwnerAndLinksRefusesOversizeAndConvertsDuplicateCodes) {
  parlevo::test::ScratchDir dir("parlevo-convert");
  const std::string hello = "\x82\xb1\x82\xf1\x82\xc9\x82\xbf\x82\xcd\r\n";  // こんにちは

  // A private file stays private, its copy too, and keeps its owner.
  const std::string secret = dir.WriteBytes("secret.txt", hello);
  ASSERT_EQ(::chmod(secret.c_str(), 0600), 0);
  const bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::chown(secret.c_str(), 4321, 4321), 0);
  }
  CliResult run = RunParlevoCli({"convert", "--to", "utf8", secret});
  ASSERT_EQ(run.status, 0) << run.err;
  for (const std::string& file : {secret, secret + ".bak"}) {
    const struct stat st = StatOf(file);
    EXPECT_EQ(st.st_mode & 07777, 0600u) << file;
    if (root) {
      EXPECT_EQ(st.st_uid, 4321u) << file;
    }
  }

  // A link is followed: its target is converted, the link stays, the copy
  // lies beside the target.
  const std::string target = dir.WriteBytes("real/talk.txt", hello);
  const std::string link = dir.File("talk.txt");
  fs::create_symlink(target, link);
  run = RunParlevoCli({"convert", "--to", "utf8", link});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(dir.Read("real/talk.txt").substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_EQ(dir.Read("real/talk.txt.bak"), hello);
  EXPECT_FALSE(fs::exists(link + ".bak"));

  // Output that loading would refuse is refused before anything is written.
  std::string large;
  for (int i = 0; i < (22 << 20) + 1; ++i) large += "\x82\xa0";  // 44 MiB of あ, 66 in UTF-8
  const std::string big = dir.WriteBytes("big.txt", large);
  run = RunParlevoCli({"convert", "--to", "utf8", big});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("over the 64 MiB budget of a file"), std::string::npos) << run.err;
  EXPECT_EQ(fs::file_size(big), large.size());
  EXPECT_FALSE(fs::exists(big + ".bak"));

  // Characters spelled twice are converted; the way back is noted.
  const std::string twice = dir.WriteBytes("twice.txt", "\x87\x90 \xed\x40\r\n");
  run = RunParlevoCli({"convert", "--to", "utf8", twice});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find(twice + ":1: ≒ (bytes 0x87 0x90) is spelled twice in code page 932: it "
                                 "comes back as 0x81 0xE0"),
            std::string::npos)
      << run.out;
  EXPECT_EQ(dir.Read("twice.txt"), "\xEF\xBB\xBF≒ 纊\r\n");
  ASSERT_EQ(RunParlevoCli({"convert", "--to", "sjis", twice}).status, 0);
  EXPECT_EQ(dir.Read("twice.txt"), "\x81\xe0 \xfa\x5c\r\n");
}

}  // namespace
