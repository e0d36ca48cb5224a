// Finding the shipped files in an installed layout and in a development
// build's source tree, and probing folders for write access.
#include "platform/shipped_files.h"

#include <gtest/gtest.h>

#include "common/scratch_dir.h"
#include "platform/folder_access.h"

namespace parlevo::platform {
namespace {

namespace fs = std::filesystem;
using test::ScratchDir;

TEST(ShippedFiles, AnInstalledProgramFindsItsFilesBesideItsOwnFolderWhereverThePrefixIs) {
  ScratchDir dir("parlevo-shipped");
  for (const std::string prefix : {"usr", "opt/moved/elsewhere"}) {
    dir.WriteBytes(prefix + "/share/parlevo/examples/a/a.ltc", "");
    dir.WriteBytes(prefix + "/share/doc/parlevo/authoring.md", "");
    fs::create_directories(dir.Path() / prefix / "bin");
    const fs::path bin = dir.Path() / prefix / "bin";

    const auto samples = FindShippedFile(ShippedKind::kData, "examples", bin);
    ASSERT_TRUE(samples);
    EXPECT_TRUE(samples->installed);
    EXPECT_TRUE(fs::equivalent(samples->path, dir.Path() / prefix / "share/parlevo/examples"));
    const auto guide = FindShippedFile(ShippedKind::kDocs, "authoring.md", bin.string() + "/");
    ASSERT_TRUE(guide);
    EXPECT_TRUE(
        fs::equivalent(guide->path, dir.Path() / prefix / "share/doc/parlevo/authoring.md"));
    EXPECT_FALSE(FindShippedFile(ShippedKind::kDocs, "missing.md", bin));
    EXPECT_TRUE(IsInstalledProgram(bin));
  }
}

TEST(ShippedFiles, ADevelopmentBuildFindsTheSourceTreeAboveItsBuildFolders) {
  ScratchDir dir("parlevo-shipped");
  dir.WriteBytes("src/CMakeLists.txt", "");
  dir.WriteBytes("src/examples/a/a.ltc", "");
  dir.WriteBytes("src/docs/authoring.md", "");
  // Not a source tree: no CMakeLists.txt beside the folder.
  dir.WriteBytes("src/build/docs/authoring.md", "");
  for (const char* program : {"src/build", "src/build/tests", "src/build/a/b"}) {
    fs::create_directories(dir.Path() / program);
    const auto samples = FindShippedFile(ShippedKind::kData, "examples", dir.Path() / program);
    ASSERT_TRUE(samples) << program;
    EXPECT_FALSE(samples->installed);
    EXPECT_TRUE(fs::equivalent(samples->path, dir.Path() / "src/examples"));
    const auto guide = FindShippedFile(ShippedKind::kDocs, "authoring.md", dir.Path() / program);
    ASSERT_TRUE(guide) << program;
    EXPECT_TRUE(fs::equivalent(guide->path, dir.Path() / "src/docs/authoring.md"));
    EXPECT_FALSE(IsInstalledProgram(dir.Path() / program));
  }
  // Four levels down is out of reach, and an unknown program folder finds nothing.
  fs::create_directories(dir.Path() / "src/build/a/b/c");
  EXPECT_FALSE(FindShippedFile(ShippedKind::kData, "examples", dir.Path() / "src/build/a/b/c"));
  EXPECT_FALSE(FindShippedFile(ShippedKind::kData, "examples", fs::path()));
}

TEST(ShippedFiles, TheInstalledLayoutWinsOverAnEnclosingSourceTree) {
  ScratchDir dir("parlevo-shipped");
  dir.WriteBytes("CMakeLists.txt", "");
  dir.WriteBytes("examples/a/a.ltc", "");
  dir.WriteBytes("stage/usr/share/parlevo/examples/a/a.ltc", "");
  fs::create_directories(dir.Path() / "stage/usr/bin");
  const auto samples =
      FindShippedFile(ShippedKind::kData, "examples", dir.Path() / "stage/usr/bin");
  ASSERT_TRUE(samples);
  EXPECT_TRUE(samples->installed);
}

TEST(ShippedFiles, TheProgramFolderIsTheRunningProgramsOwn) {
  const fs::path folder = ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_TRUE(fs::exists(folder / "platform_tests"));
}

TEST(FolderAccess, AProbeLeavesNothingBehindAndFailsWhereNothingCanBeCreated) {
  ScratchDir dir("parlevo-probe");
  dir.WriteBytes("a/b/c.txt", "x");
  EXPECT_TRUE(FolderWritable(dir.Path()));
  EXPECT_TRUE(FolderWritable(dir.Path() / "a/b"));
  size_t entries = 0;
  for ([[maybe_unused]] const auto& entry : fs::recursive_directory_iterator(dir.Path())) ++entries;
  EXPECT_EQ(entries, 3u);  // a, a/b, a/b/c.txt: no probe file stays
  EXPECT_FALSE(FolderWritable(dir.Path() / "missing"));
  EXPECT_FALSE(FolderWritable("/proc/self"));  // not even for root
}

}  // namespace
}  // namespace parlevo::platform
