// Where the sample characters run, and how the user's copy of installed
// samples follows new versions while keeping the user's own files.
#include "app/sample_characters.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "common/scratch_dir.h"

namespace parlevo {
namespace {

namespace fs = std::filesystem;
using test::ScratchDir;

// A day's difference, far beyond any file system's time resolution.
void Age(const fs::path& file, int days) {
  fs::last_write_time(file, fs::last_write_time(file) - std::chrono::hours(24 * days));
}

class SampleCopy : public ::testing::Test {
 protected:
  SampleCopy() : dir_("parlevo-samples") {
    dir_.WriteBytes("shipped/hanako/hanako.ltc", "base v1");
    dir_.WriteBytes("shipped/hanako/data/topics.txt", "topics v1");
    dir_.WriteBytes("shipped/robo/robo.ltc", "robo v1");
  }
  fs::path Shipped() const { return dir_.Path() / "shipped"; }
  fs::path User() const { return dir_.Path() / "user"; }
  std::string Copied(const std::string& name) const { return dir_.Read("user/examples/" + name); }

  ScratchDir dir_;
};

TEST_F(SampleCopy, InstalledSamplesRunFromACopyThatKeepsWhatTheyRemember) {
  const fs::path folder = SamplesRunFolder({Shipped(), /*installed=*/true}, User());
  EXPECT_EQ(folder, User() / "examples");
  EXPECT_EQ(Copied("hanako/hanako.ltc"), "base v1");
  EXPECT_EQ(Copied("hanako/data/topics.txt"), "topics v1");
  EXPECT_EQ(Copied("robo/robo.ltc"), "robo v1");

  // The samples talk: a state file appears in the copy, and the user edits one.
  dir_.WriteBytes("user/examples/hanako/data/hanako.lts", "memory");
  dir_.WriteBytes("user/examples/robo/robo.ltc", "robo edited");
  // A newer version installs new data; a development tree's state file is shipped too.
  Age(User() / "examples/hanako/data/topics.txt", 2);
  dir_.WriteBytes("shipped/hanako/data/topics.txt", "topics v2");
  dir_.WriteBytes("shipped/hanako/data/hanako.lts", "shipped memory");
  Age(Shipped() / "robo/robo.ltc", 1);

  EXPECT_EQ(SamplesRunFolder({Shipped(), true}, User()), folder);
  EXPECT_EQ(Copied("hanako/data/topics.txt"), "topics v2");
  EXPECT_EQ(Copied("hanako/data/hanako.lts"), "memory");
  EXPECT_EQ(Copied("robo/robo.ltc"), "robo edited");
  // Unchanged files keep the shipped time, so they are not copied again.
  EXPECT_EQ(fs::last_write_time(User() / "examples/hanako/hanako.ltc"),
            fs::last_write_time(Shipped() / "hanako/hanako.ltc"));
}

TEST_F(SampleCopy, ADevelopmentTreeRunsInPlaceUnlessItCannotBeWritten) {
  EXPECT_EQ(SamplesRunFolder({Shipped(), /*installed=*/false}, User()), Shipped());
  EXPECT_FALSE(fs::exists(User()));
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  fs::permissions(Shipped() / "hanako/data", fs::perms::owner_write, fs::perm_options::remove);
  EXPECT_EQ(SamplesRunFolder({Shipped(), false}, User()), User() / "examples");
  EXPECT_EQ(Copied("hanako/data/topics.txt"), "topics v1");
  fs::permissions(Shipped() / "hanako/data", fs::perms::owner_write, fs::perm_options::add);
}

TEST_F(SampleCopy, AFailedCopyIsAnError) {
  dir_.WriteBytes("user/examples", "a file where the folder should be");
  EXPECT_THROW(SamplesRunFolder({Shipped(), true}, User()), fs::filesystem_error);
}

}  // namespace
}  // namespace parlevo
