// Atomic replacing from several threads at once: writers of one file never
// mix their contents, readers only ever see a whole version, and nothing
// temporary is left behind.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/textfile.h"

namespace parlevo::platform {
namespace {

namespace fs = std::filesystem;

constexpr int kWriters = 4;
constexpr int kWritesEach = 40;

// A fresh folder under the system's temp folder, removed with its files.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (fs::temp_directory_path() / "parlevo-concurrent-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& Path() const { return path_; }

 private:
  fs::path path_;
};

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

}  // namespace
}  // namespace parlevo::platform
