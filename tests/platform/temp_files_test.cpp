// The temporary files of atomic replacing: writers of one file at once never
// mix their contents; a live writer's file is left alone, a killed writer's
// taken over, and whatever else lies in the way passed over, not written through.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "common/scratch_dir.h"
#include "platform/textfile.h"

namespace parlevo::platform {
namespace {

namespace fs = std::filesystem;

constexpr int kWriters = 4;
constexpr int kWritesEach = 40;

// A fresh folder under the system's temp folder, removed with its files.
using ScratchFolder = test::ScratchDir;

// Writer `w`'s version: lines that name it, a different number for each
// writer so that a mix of two versions shows in the length too.
std::vector<std::string> Version(int w) {
  return std::vector<std::string>(1000 + 300 * w, "writer " + std::to_string(w));
}

std::string Bytes(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";
  return bytes;
}

TEST(ConcurrentWrite, WritersOfOneFileLeaveOneWholeVersionAndNoTemporaryFiles) {
  ScratchFolder folder;
  ASSERT_FALSE(folder.Path().empty());
  const std::string target = (folder.Path() / "Parlevo.log").string();
  std::vector<std::string> versions;
  for (int w = 0; w < kWriters; ++w) versions.push_back(Bytes(Version(w)));
  WriteTextLinesAtomic(target, Version(0));

  std::atomic<int> failures{0}, writers_left{kWriters};
  std::vector<std::thread> threads;
  for (int w = 0; w < kWriters; ++w) {
    threads.emplace_back([&, w] {
      try {
        for (int i = 0; i < kWritesEach; ++i) WriteTextLinesAtomic(target, Version(w));
      } catch (const EFileError&) {
        ++failures;
      }
      --writers_left;
    });
  }
  // A reader alongside: every read is one writer's whole version.
  int torn = 0;
  while (writers_left > 0) {
    const std::string read = ReadFileBytes(target);
    torn += std::find(versions.begin(), versions.end(), read) == versions.end();
  }
  for (std::thread& thread : threads) thread.join();

  EXPECT_EQ(failures, 0);
  EXPECT_EQ(torn, 0);
  EXPECT_NE(std::find(versions.begin(), versions.end(), ReadFileBytes(target)), versions.end());
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 1);
}

TEST(TempFiles, WhatLiesWhereATemporaryFileGoesIsTakenOverOrPassedOver) {
  ScratchFolder folder;
  ASSERT_FALSE(folder.Path().empty());
  const fs::path target = folder.Path() / "chara.lts";
  const fs::path other = folder.Path() / "other.txt";
  std::ofstream(other, std::ios::binary) << "keep";
  // A folder, a link and a second name of another file where the first
  // temporary names would go, and a killed writer's half file after them.
  fs::create_directory(folder.Path() / "chara.lts.tmp0");
  fs::create_symlink(other, folder.Path() / "chara.lts.tmp1");
  fs::create_hard_link(other, folder.Path() / "chara.lts.tmp2");
  std::ofstream(folder.Path() / "chara.lts.tmp3", std::ios::binary) << "half a fi";

  for (int round = 0; round < 3; ++round) {
    WriteTextLinesAtomic(target.string(), {"round " + std::to_string(round)});
    EXPECT_EQ(ReadFileBytes(target.string()), "round " + std::to_string(round) + "\r\n");
  }
  EXPECT_EQ(ReadFileBytes(other.string()), "keep");
  EXPECT_TRUE(fs::is_symlink(folder.Path() / "chara.lts.tmp1"));
  EXPECT_FALSE(fs::exists(folder.Path() / "chara.lts.tmp3"));  // taken over by the first write
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 5);
}

TEST(TempFiles, ALiveWritersTemporaryFileIsLeftAlone) {
  ScratchFolder folder;
  ASSERT_FALSE(folder.Path().empty());
  const fs::path target = folder.Path() / "Parlevo.log";
  const fs::path held = folder.Path() / "Parlevo.log.tmp0";
  std::ofstream(held, std::ios::binary) << "being written";
  // Another writer's lock, as a writer in another process holds it.
  const int fd = ::open(held.c_str(), O_WRONLY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::flock(fd, LOCK_EX), 0);

  WriteTextLinesAtomic(target.string(), {"mine"});
  EXPECT_EQ(ReadFileBytes(target.string()), "mine\r\n");
  EXPECT_EQ(ReadFileBytes(held.string()), "being written");
  ::close(fd);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 2);
}

}  // namespace
}  // namespace parlevo::platform
