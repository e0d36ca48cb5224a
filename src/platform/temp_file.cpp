// Temporary files of an atomic replace: slots locked with flock against other
// processes and reserved in a set against this process's other threads.
#include "platform/temp_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <set>

#include "platform/textfile.h"

namespace parlevo::platform {
namespace {

constexpr int kSlots = 64;  // far more writers of one file than ever run at once

// The slot names this process holds. flock alone keeps threads apart on a
// local disk, but where it is emulated with per-process locks (NFS) two
// threads would both get one name; every thread that replaces a file shares
// this set, hence the mutex.
std::mutex g_reserved_mutex;
std::set<std::string> g_reserved;

// Serial number for names of the process's own, unique within the process.
std::atomic<unsigned> g_serial{0};

// True when `name` still names the file open as `fd`, a regular file with
// no other name: the slot's previous owner may have renamed it over the
// target before we locked it.
bool StillNamed(int fd, const std::string& name) {
  struct stat held, named;
  return ::fstat(fd, &held) == 0 && ::lstat(name.c_str(), &named) == 0 && S_ISREG(named.st_mode) &&
         named.st_nlink == 1 && held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

}  // namespace

TempFile::TempFile(const std::string& target) : target_(target) {
  {
    std::lock_guard lock(g_reserved_mutex);
    for (int slot = 0; slot < kSlots; ++slot) {
      const Outcome outcome = TrySlot(slot);
      if (outcome == Outcome::kNoLocks) break;
      if (outcome == Outcome::kTaken) {
        g_reserved.insert(name_);
        reserved_ = true;
        break;
      }
    }
  }
  if (fd_ < 0) OpenUnique();
  if (fd_ < 0) {
    throw EFileError("cannot write file", target, errno);
  }
}

TempFile::~TempFile() {
  if (!renamed_) ::unlink(name_.c_str());  // still locked, so no other writer has it
  ::close(fd_);
  if (reserved_) {
    std::lock_guard lock(g_reserved_mutex);
    g_reserved.erase(name_);
  }
}

bool TempFile::RenameOverTarget() {
  renamed_ = ::rename(name_.c_str(), target_.c_str()) == 0;
  return renamed_;
}

// Takes slot `slot` unless a live writer holds it or something else lies
// there. Called with the set locked.
TempFile::Outcome TempFile::TrySlot(int slot) {
  std::string name = target_ + ".tmp" + std::to_string(slot);
  if (g_reserved.count(name) != 0) return Outcome::kBusy;
  // A name we cannot open (a link, a folder, another user's file) is passed
  // over; when the folder itself refuses, OpenUnique reports why.
  int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) return Outcome::kBusy;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const bool held = errno == EWOULDBLOCK || errno == EINTR;
    ::close(fd);  // without locks the empty slot file stays; it is the only one
    return held ? Outcome::kBusy : Outcome::kNoLocks;
  }
  if (!StillNamed(fd, name) || ::ftruncate(fd, 0) != 0) {
    ::close(fd);
    return Outcome::kBusy;
  }
  name_ = std::move(name);
  fd_ = fd;
  return Outcome::kTaken;
}

// A fresh name of this process's own, where no slot could be had.
void TempFile::OpenUnique() {
  do {
    name_ = target_ + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(g_serial++);
    fd_ = ::open(name_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  } while (fd_ < 0 && errno == EEXIST);
}

}  // namespace parlevo::platform
