// Jobs in child processes: fork, run, write the numbers to a pipe, _exit.
// The parent reads every pipe to its end before waiting, so no child blocks
// on a full pipe.
#include "app/cli/process_jobs.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <thread>

namespace parlevo::cli {
namespace {

bool WriteAll(int fd, const void* data, size_t size) {
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = write(fd, bytes, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

std::vector<char> ReadAll(int fd) {
  std::vector<char> bytes;
  char buffer[65536];
  for (;;) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return bytes;
    bytes.insert(bytes.end(), buffer, buffer + n);
  }
}

// In the child: the signals the parent leaves to a thread of its own (which
// the child lacks) end it as usual, then the job runs.
[[noreturn]] void RunChild(int fd, int job,
                           const std::function<std::vector<int64_t>(int job)>& work) {
  sigset_t signals;
  sigemptyset(&signals);
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&signals, signal);
  pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
  int status = 1;
  try {
    const std::vector<int64_t> result = work(job);
    if (WriteAll(fd, result.data(), result.size() * sizeof(int64_t))) status = 0;
  } catch (...) {
  }
  close(fd);
  _exit(status);
}

}  // namespace

int DefaultJobs() {
  const unsigned cores = std::thread::hardware_concurrency();
  return cores == 0 ? 1 : static_cast<int>(cores);
}

std::vector<std::vector<int64_t>> RunJobs(
    int jobs, const std::function<std::vector<int64_t>(int job)>& work) {
  if (jobs <= 1) return {work(0)};
  std::fflush(nullptr);  // nothing buffered is written twice
  struct TChild {
    pid_t Pid = -1;
    int Fd = -1;
  };
  std::vector<TChild> children;
  for (int job = 0; job < jobs; ++job) {
    int fds[2];
    if (pipe(fds) != 0) break;
    const pid_t pid = fork();
    if (pid == 0) {
      close(fds[0]);
      for (const TChild& child : children) close(child.Fd);
      RunChild(fds[1], job, work);
    }
    close(fds[1]);
    if (pid < 0) {
      close(fds[0]);
      break;
    }
    children.push_back({pid, fds[0]});
  }
  std::vector<std::vector<int64_t>> results;
  bool failed = children.size() != static_cast<size_t>(jobs);
  for (const TChild& child : children) {
    const std::vector<char> bytes = ReadAll(child.Fd);
    close(child.Fd);
    int status = 0;
    while (waitpid(child.Pid, &status, 0) < 0 && errno == EINTR) {
    }
    failed = failed || !WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
             bytes.size() % sizeof(int64_t) != 0;
    std::vector<int64_t>& result = results.emplace_back(bytes.size() / sizeof(int64_t));
    if (!bytes.empty()) std::memcpy(result.data(), bytes.data(), bytes.size());
  }
  if (failed) throw std::runtime_error("a job in a process of its own failed");
  return results;
}

}  // namespace parlevo::cli
