// Saving survives a kill at any moment: a child process saves a character's
// state and a long transcript log over and over and is killed at random.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "character_test_util.h"
#include "engine/character.h"
#include "platform/textfile.h"

namespace parlevo {
namespace {

using testing::Ansi;
using testing::CharacterRecipe;
using testing::MakeCharacter;
using testing::ReadBytes;
using testing::TempDir;

constexpr int kKills = 120;
constexpr int kLogLines = 4000;
// Longest wait for the child to begin saving; generous, machines are shared.
constexpr int kStartPatienceMs = 30000;

// Two versions of everything the child saves, and the bytes each makes.
struct Version {
  std::string mark;
  std::vector<std::string> log;
  std::string state_bytes;
  std::string log_bytes;
};

// Fills slots 50-99 so that every line of the state file tells the versions apart.
void SetMemory(TCharacter& character, const std::string& mark) {
  for (int slot = 50; slot < 100; ++slot) {
    character.SetMemo(slot, Ansi("覚え書き") + mark + std::to_string(slot));
    character.SetCount(slot, mark[0] * 1000 + slot);
    character.SetFlag(slot, (slot + mark[0]) % 2 == 0);
  }
}

std::vector<std::string> LogLines(const std::string& mark, int count) {
  std::vector<std::string> lines;
  for (int i = 0; i < count; ++i) {
    lines.push_back(Ansi("花子 > ") + mark + " " + std::to_string(i) +
                    Ansi(" 今日はいい天気ですね"));
  }
  return lines;
}

// Saves one version: the character's state file and the log.
void Save(TCharacter& character, const std::string& log_path, const Version& version) {
  SetMemory(character, version.mark);
  character.SaveState();
  platform::WriteTextLinesAtomic(log_path, version.log);
}

// The child: saves the versions in turn until it is killed; says on `ready`
// when it begins. Never returns.
[[noreturn]] void SaveForever(TCharacter& character, const std::string& log_path,
                              const std::vector<Version>& versions, int ready) {
  try {
    char go = 1;
    if (::write(ready, &go, 1) != 1) ::_exit(2);
    for (size_t round = 0;; ++round) Save(character, log_path, versions[round % 2]);
  } catch (...) {
    ::_exit(3);
  }
}

// Waits until the child has written its byte to `ready`.
bool WaitReady(int ready) {
  pollfd p{ready, POLLIN, 0};
  char go = 0;
  return ::poll(&p, 1, kStartPatienceMs) == 1 && ::read(ready, &go, 1) == 1;
}

int TempFilesIn(const std::string& dir) {
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    count += entry.path().filename().string().find(".tmp") != std::string::npos;
  }
  return count;
}

TEST(KillSafety, EveryFileIsWholeOldOrNewAndKilledWritersLeaveNoHeap) {
  TempDir dir;
  const std::string base =
      MakeCharacter(dir, CharacterRecipe{"210", "保存", {{"datab2", {"A,1"}}}});
  const std::string log_path = dir / "Parlevo.log";
  TCharacter character(base);
  std::vector<Version> versions = {{"old", LogLines("old", kLogLines), {}, {}},
                                   {"new", LogLines("new", kLogLines + 1000), {}, {}}};
  for (Version& version : versions) {
    Save(character, log_path, version);
    version.state_bytes = ReadBytes(character.StatePath());
    version.log_bytes = ReadBytes(log_path);
  }
  ASSERT_NE(versions[0].state_bytes, versions[1].state_bytes);

  std::random_device seed_source;
  const unsigned seed = seed_source();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> delay_us(0, 15000);
  int seen_new_log = 0, seen_temp = 0;
  for (int round = 0; round < kKills; ++round) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) SaveForever(character, log_path, versions, ready[1]);
    ::close(ready[1]);
    const bool started = WaitReady(ready[0]);
    ::close(ready[0]);
    if (started) std::this_thread::sleep_for(std::chrono::microseconds(delay_us(random)));
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(started) << "the child never began saving";
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
        << "the child stopped by itself, status " << status << " (3: a save failed)";

    const std::string state = ReadBytes(character.StatePath());
    const std::string log = ReadBytes(log_path);
    ASSERT_TRUE(state == versions[0].state_bytes || state == versions[1].state_bytes)
        << "kill " << round << ": the state file is neither version (" << state.size() << " bytes)";
    ASSERT_TRUE(log == versions[0].log_bytes || log == versions[1].log_bytes)
        << "kill " << round << ": the log is neither version (" << log.size() << " bytes)";
    seen_new_log += log == versions[1].log_bytes;
    // One writer per file: whatever it left, the next one took over.
    const int temps = TempFilesIn(dir.Folder());
    ASSERT_LE(temps, 2) << "kill " << round;
    seen_temp += temps > 0;
  }
  // How the kills fell, for whoever reads the test's output.
  RecordProperty("KillsLeavingTheNewLog", seen_new_log);
  RecordProperty("KillsLeavingATemporaryFile", seen_temp);

  // The files read back as what was saved, and the next save clears the litter.
  TCharacter reloaded(base);
  const std::string mark = reloaded.Memo(50).substr(Ansi("覚え書き").size(), 3);
  ASSERT_TRUE(mark == "old" || mark == "new") << reloaded.Memo(50);
  for (int slot = 50; slot < 100; ++slot) {
    EXPECT_EQ(reloaded.Memo(slot), Ansi("覚え書き") + mark + std::to_string(slot));
    EXPECT_EQ(reloaded.Count(slot), mark[0] * 1000 + slot);
    EXPECT_EQ(reloaded.Flag(slot), (slot + mark[0]) % 2 == 0);
  }
  Save(character, log_path, versions[0]);
  EXPECT_EQ(TempFilesIn(dir.Folder()), 0);
}

}  // namespace
}  // namespace parlevo
