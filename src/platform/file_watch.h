// Waiting for files to change: inotify on Linux, watching the folders that
// hold them (an editor that saves by renaming a new file over the old one is
// seen too), and polling their times and sizes elsewhere, or where a folder
// cannot be watched (not there yet, or the system's watches ran out).
//
// Thread-safety: none of its own; one thread watches.
#ifndef PARLEVO_PLATFORM_FILE_WATCH_H_
#define PARLEVO_PLATFORM_FILE_WATCH_H_

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace parlevo::platform {

class TFileWatch {
 public:
  // kBest: inotify where there is one, else polling.
  enum class TMethod { kBest, kPolling };
  explicit TFileWatch(TMethod method = TMethod::kBest);
  ~TFileWatch();
  TFileWatch(const TFileWatch&) = delete;
  TFileWatch& operator=(const TFileWatch&) = delete;

  // The files to watch from now on (native paths), in place of the last
  // ones; a file that does not exist yet is seen when it appears. Changes
  // from before the call are forgotten.
  void Watch(const std::vector<std::string>& files);

  // Blocks until a watched file is written, created, replaced or removed,
  // then until `quiet` passes with no further change, so that the changes
  // of one save (or of several files saved together) come back as one (a
  // file written without pause ends the gathering after ten quiet spells).
  // Returns true then, or false as soon as `stop` returns true (asked about
  // ten times a second) without a change.
  bool WaitForChange(const std::function<bool()>& stop,
                     std::chrono::milliseconds quiet = std::chrono::milliseconds(200));

  // How the files are watched: a backend, inotify or polling.
  class TBackend;

 private:
  std::unique_ptr<TBackend> backend_;
};

}  // namespace parlevo::platform

#endif  // PARLEVO_PLATFORM_FILE_WATCH_H_
