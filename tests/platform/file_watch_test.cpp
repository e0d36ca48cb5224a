// The file watch, by inotify and by polling: writes, replacements by rename,
// new and removed files are changes; other files in the folder are not.
#include "platform/file_watch.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "common/scratch_dir.h"

namespace parlevo::platform {
namespace {

// Waits at most about `polls` tenths of a second for a change.
bool ChangedWithin(TFileWatch& watch, int polls) {
  int asked = 0;
  return watch.WaitForChange([&] { return ++asked >= polls; }, std::chrono::milliseconds(50));
}

TEST(FileWatch, SeesChangesToWatchedFilesOnlyByEitherMethod) {
  for (TFileWatch::TMethod method : {TFileWatch::TMethod::kBest, TFileWatch::TMethod::kPolling}) {
    SCOPED_TRACE(method == TFileWatch::TMethod::kBest ? "best" : "polling");
    test::ScratchDir dir;
    const std::string data = dir.WriteBytes("data.txt", "one\n");
    TFileWatch watch(method);
    watch.Watch({data, dir / "later.txt"});
    EXPECT_FALSE(ChangedWithin(watch, 3));  // nothing happened

    dir.WriteBytes("other.txt", "not watched\n");
    EXPECT_FALSE(ChangedWithin(watch, 3));

    // A generous wait for changes: ten seconds, should the machine be busy.
    dir.WriteBytes("data.txt", "two, longer\n");
    EXPECT_TRUE(ChangedWithin(watch, 100));
    EXPECT_FALSE(ChangedWithin(watch, 3));  // one save, one change

    dir.WriteBytes("data.new", "three, by rename\n");
    ASSERT_EQ(std::rename((dir / "data.new").c_str(), data.c_str()), 0);
    EXPECT_TRUE(ChangedWithin(watch, 100));

    dir.WriteBytes("later.txt", "appears\n");
    EXPECT_TRUE(ChangedWithin(watch, 100));

    ASSERT_EQ(std::remove(data.c_str()), 0);
    EXPECT_TRUE(ChangedWithin(watch, 100));

    // Watching other files forgets the old ones.
    watch.Watch({dir / "later.txt"});
    dir.WriteBytes("data.txt", "back\n");
    EXPECT_FALSE(ChangedWithin(watch, 3));

    // A file in a folder that is not there yet is seen when both come.
    watch.Watch({dir / "sub/new.txt"});
    dir.WriteBytes("sub/new.txt", "here\n");
    EXPECT_TRUE(ChangedWithin(watch, 100));
  }
}

}  // namespace
}  // namespace parlevo::platform
