// The temporary file of an atomic replace: named after its target with a slot
// number, locked while written, and taken over when a killed writer left it.
#ifndef PARLEVO_PLATFORM_TEMP_FILE_H_
#define PARLEVO_PLATFORM_TEMP_FILE_H_

#include <string>

namespace parlevo::platform {

// A temporary file beside a target, "NAME.tmp0", "NAME.tmp1", ..., held
// (locked against other processes, reserved against other threads) from
// opening until it is renamed over the target or removed. A writer killed
// midway leaves its file unlocked, and the next writer of that target takes
// it over: a crash leaves at most one stale file per writer then running,
// never a growing heap. Where the file system has no locks, a name of the
// process's own is used instead.
class TempFile {
 public:
  // Opens and empties a temporary file for `target` (an OS path). Throws
  // EFileError naming the target when none can be made.
  explicit TempFile(const std::string& target);
  // Removes the file unless it was renamed, then lets the name go.
  ~TempFile();
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  int Descriptor() const { return fd_; }
  // Renames the file over the target; false with errno set when that fails.
  bool RenameOverTarget();

 private:
  enum class Outcome { kTaken, kBusy, kNoLocks };
  Outcome TrySlot(int slot);
  void OpenUnique();

  std::string target_;
  std::string name_;
  int fd_ = -1;
  bool reserved_ = false;  // name_ is in this process's reserved set
  bool renamed_ = false;
};

}  // namespace parlevo::platform

#endif  // PARLEVO_PLATFORM_TEMP_FILE_H_
