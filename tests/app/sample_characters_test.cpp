// The copies the sample characters run from, and how a copy follows new
// versions while keeping the user's own files.
#include "app/sample_characters.h"

#include <gtest/gtest.h>

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
  fs::path Build() const { return dir_.Path() / "build"; }
  std::string Copied(const std::string& name) const { return dir_.Read("user/examples/" + name); }

  ScratchDir dir_;
};

TEST_F(SampleCopy, InstalledSamplesRunFromACopyThatKeepsWhatTheyRemember) {
  const fs::path folder = SamplesRunFolder({Shipped(), /*installed=*/true}, User(), Build());
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

  EXPECT_EQ(SamplesRunFolder({Shipped(), true}, User(), Build()), folder);
  EXPECT_EQ(Copied("hanako/data/topics.txt"), "topics v2");
  EXPECT_EQ(Copied("hanako/data/hanako.lts"), "memory");
  EXPECT_EQ(Copied("robo/robo.ltc"), "robo edited");
  // Unchanged files keep the shipped time, so they are not copied again.
  EXPECT_EQ(fs::last_write_time(User() / "examples/hanako/hanako.ltc"),
            fs::last_write_time(Shipped() / "hanako/hanako.ltc"));
}

TEST_F(SampleCopy, ADevelopmentBuildRunsThemFromItsOwnFolderLeavingTheSourceTreeAlone) {
  EXPECT_EQ(SamplesRunFolder({Shipped(), /*installed=*/false}, User(), Build()),
            Build() / "run/examples");
  EXPECT_EQ(dir_.Read("build/run/examples/robo/robo.ltc"), "robo v1");
  EXPECT_FALSE(fs::exists(User()));
}

TEST_F(SampleCopy, AFailedCopyIsAnError) {
  dir_.WriteBytes("user/examples", "a file where the folder should be");
  EXPECT_THROW(SamplesRunFolder({Shipped(), true}, User(), Build()), fs::filesystem_error);
}

}  // namespace
}  // namespace parlevo
