// The file watch: a backend says whether a watched file changed within a
// wait; WaitForChange turns that into "a change, then a quiet spell".
#include "platform/file_watch.h"

#include <filesystem>
#include <map>
#include <set>
#include <system_error>
#include <thread>
#include <utility>

#ifdef __linux__
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>
#endif

namespace parlevo::platform {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

class TFileWatch::TBackend {
 public:
  virtual ~TBackend() = default;
  // False when some file cannot be watched this way (its folder is missing,
  // or the system's watches ran out).
  virtual bool Watch(const std::vector<std::string>& files) = 0;
  // True when a watched file changed within `wait`.
  virtual bool Changed(milliseconds wait) = 0;
};

namespace {

// The folder and name of a path, made absolute, so events in the folder can
// be told apart by name.
std::pair<fs::path, fs::path> FolderAndName(const std::string& file) {
  std::error_code error;
  fs::path full = fs::absolute(file, error).lexically_normal();
  if (error) full = fs::path(file).lexically_normal();
  return {full.parent_path(), full.filename()};
}

// Polling: each file's existence, time and size, compared a few times a second.
class TPollingBackend : public TFileWatch::TBackend {
 public:
  bool Watch(const std::vector<std::string>& files) override {
    files_ = files;
    last_ = Snapshot();
    return true;
  }
  bool Changed(milliseconds wait) override {
    const auto end = std::chrono::steady_clock::now() + wait;
    for (;;) {
      std::map<std::string, TStamp> now = Snapshot();
      if (now != last_) {
        last_ = std::move(now);
        return true;
      }
      if (std::chrono::steady_clock::now() >= end) return false;
      std::this_thread::sleep_for(std::min(wait, milliseconds(100)));
    }
  }

 private:
  struct TStamp {
    bool Exists = false;
    fs::file_time_type Time{};
    uintmax_t Size = 0;
    bool operator==(const TStamp&) const = default;
  };
  std::map<std::string, TStamp> Snapshot() const {
    std::map<std::string, TStamp> stamps;
    for (const std::string& file : files_) {
      std::error_code error;
      TStamp stamp;
      stamp.Time = fs::last_write_time(file, error);
      stamp.Exists = !error;
      if (stamp.Exists) stamp.Size = fs::file_size(file, error);
      stamps[file] = stamp;
    }
    return stamps;
  }

  std::vector<std::string> files_;
  std::map<std::string, TStamp> last_;
};

#ifdef __linux__
// inotify on the folders of the files: a file replaced by a rename keeps
// being watched, and one that does not exist yet is seen when it comes.
class TInotifyBackend : public TFileWatch::TBackend {
 public:
  explicit TInotifyBackend(int fd) : fd_(fd) {}
  ~TInotifyBackend() override { close(fd_); }

  bool Watch(const std::vector<std::string>& files) override {
    for (const auto& [wd, folder] : folders_) inotify_rm_watch(fd_, wd);
    folders_.clear();
    names_.clear();
    std::map<fs::path, int> added;
    constexpr uint32_t kMask = IN_CLOSE_WRITE | IN_MODIFY | IN_ATTRIB | IN_CREATE | IN_DELETE |
                               IN_MOVED_FROM | IN_MOVED_TO;
    for (const std::string& file : files) {
      auto [folder, name] = FolderAndName(file);
      auto found = added.find(folder);
      if (found == added.end()) {
        const int wd = inotify_add_watch(fd_, folder.c_str(), kMask);
        if (wd < 0) return false;
        found = added.emplace(folder, wd).first;
        folders_[wd] = folder;
      }
      names_.insert({found->second, name.string()});
    }
    Drain();
    return true;
  }

  bool Changed(milliseconds wait) override {
    pollfd ready{fd_, POLLIN, 0};
    if (poll(&ready, 1, static_cast<int>(wait.count())) <= 0) return false;
    return Drain();
  }

 private:
  // Reads every pending event; true when one names a watched file.
  bool Drain() {
    bool changed = false;
    alignas(inotify_event) char buffer[16384];
    for (;;) {
      const ssize_t got = read(fd_, buffer, sizeof buffer);
      if (got <= 0) return changed;
      for (ssize_t at = 0; at < got;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        if (event->len > 0 && names_.count({event->wd, std::string(event->name)}) > 0) {
          changed = true;
        }
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    }
  }

  int fd_;
  std::map<int, fs::path> folders_;
  std::set<std::pair<int, std::string>> names_;
};
#endif

std::unique_ptr<TFileWatch::TBackend> MakeBackend(TFileWatch::TMethod method) {
#ifdef __linux__
  const int fd =
      method == TFileWatch::TMethod::kBest ? inotify_init1(IN_NONBLOCK | IN_CLOEXEC) : -1;
  if (fd >= 0) return std::make_unique<TInotifyBackend>(fd);
#else
  (void)method;
#endif
  return std::make_unique<TPollingBackend>();  // no inotify here, or no watches left
}

}  // namespace

TFileWatch::TFileWatch(TMethod method) : backend_(MakeBackend(method)) {}
TFileWatch::~TFileWatch() = default;

void TFileWatch::Watch(const std::vector<std::string>& files) {
  // A folder that is not there yet (or no watch left) is polled instead.
  if (!backend_->Watch(files)) {
    backend_ = std::make_unique<TPollingBackend>();
    backend_->Watch(files);
  }
}

bool TFileWatch::WaitForChange(const std::function<bool()>& stop, milliseconds quiet) {
  constexpr milliseconds kStopPoll(100);
  while (!backend_->Changed(kStopPoll)) {
    if (stop()) return false;
  }
  // Gather what follows into the same change; a file written without a
  // pause still gives a run now and then.
  const auto give_up = std::chrono::steady_clock::now() + 10 * quiet;
  while (backend_->Changed(quiet) && std::chrono::steady_clock::now() < give_up) {
  }
  return true;
}

}  // namespace parlevo::platform
