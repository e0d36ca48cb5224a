// Helpers of the conversation tests: small characters written to a scratch
// folder, and a LineSink that records lines and can hold the conversation.
#ifndef PARLEVO_TESTS_APP_TEST_SUPPORT_H_
#define PARLEVO_TESTS_APP_TEST_SUPPORT_H_

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/conversation.h"
#include "common/scratch_dir.h"
#include "platform/codepage.h"

namespace parlevo::test {

// Generous: machines are shared; no test relies on this being short.
inline constexpr std::chrono::seconds kPatience{30};

// The data files of one test character: base file key -> lines.
using DataFiles = std::vector<std::pair<std::string, std::vector<std::string>>>;

// Writes the character `name` (base file NAME.ltc, data beside it) and
// returns its base file path.
inline std::string WriteCharacter(const ScratchDir& dir, const std::string& name,
                                  const DataFiles& files) {
  std::vector<std::string> base = {"name", name, "version", "210", "folder", name};
  for (const auto& [key, lines] : files) {
    const std::string file = key + ".txt";
    dir.Write(name + "/" + file, lines);
    base.push_back(key);
    base.push_back(file);
  }
  return dir.Write(name + ".ltc", base);
}

// UTF-8 lines in the code page, as a Shift JIS author's files hold them.
inline std::vector<std::string> CodePageLines(const std::vector<std::string>& lines) {
  std::vector<std::string> converted;
  for (const std::string& line : lines) converted.push_back(platform::Utf8ToAnsi(line));
  return converted;
}

// Records every line; can hold the conversation thread inside DeliverLine
// when a given line arrives, until the test lets it go.
class RecordingSink : public LineSink {
 public:
  void DeliverLine(const TParlevoThread& from, const TTurn& turn) override {
    std::function<void()> action;
    {
      std::unique_lock lock(mutex_);
      lines_.push_back(turn.Line);
      from_ = &from;
      changed_.notify_all();
      if (lines_.size() == hold_at_) {
        held_ = true;
        changed_.notify_all();
        changed_.wait(lock, [this] { return !held_; });
      }
      action = on_line_;
    }
    if (action) action();
  }

  // Holds the conversation thread when line number `n` (1-based) arrives.
  void HoldAt(size_t n) {
    std::lock_guard lock(mutex_);
    hold_at_ = n;
  }
  // Waits until the thread is held; false after kPatience.
  bool WaitHeld() {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, kPatience, [this] { return held_; });
  }
  void Release() {
    std::lock_guard lock(mutex_);
    held_ = false;
    changed_.notify_all();
  }
  // Runs after each line is recorded, on the conversation thread.
  void OnLine(std::function<void()> action) {
    std::lock_guard lock(mutex_);
    on_line_ = std::move(action);
  }
  // Waits until `n` lines have arrived; false after kPatience.
  bool WaitLines(size_t n) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, kPatience, [&] { return lines_.size() >= n; });
  }
  std::vector<std::string> Lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
  }
  size_t Count() const {
    std::lock_guard lock(mutex_);
    return lines_.size();
  }
  const TParlevoThread* From() const {
    std::lock_guard lock(mutex_);
    return from_;
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::string> lines_;
  const TParlevoThread* from_ = nullptr;
  size_t hold_at_ = 0;
  bool held_ = false;
  std::function<void()> on_line_;
};

}  // namespace parlevo::test

#endif  // PARLEVO_TESTS_APP_TEST_SUPPORT_H_
