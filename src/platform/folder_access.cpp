// Probing a folder by creating a file in it: the exclusive create ("x") never
// touches an existing file, and the name carries the process and a counter, so
// two probes (threads or programs) never meet.
#include "platform/folder_access.h"

#include <atomic>
#include <cstdio>
#include <string>
#include <system_error>

#if defined(_WIN32)
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

namespace parlevo::platform {
namespace {

namespace fs = std::filesystem;

// Numbers the probes of this process; atomic, since any thread may probe.
std::atomic<unsigned> probe_counter{0};

fs::path ProbeName(const fs::path& folder) {
  return folder / (".parlevo-probe-" + std::to_string(getpid()) + "-" +
                   std::to_string(probe_counter.fetch_add(1)));
}

}  // namespace

bool FolderWritable(const fs::path& folder) {
  const fs::path probe = ProbeName(folder);
#if defined(_WIN32)
  std::FILE* file = _wfopen(probe.c_str(), L"wx");
#else
  std::FILE* file = std::fopen(probe.c_str(), "wx");
#endif
  if (file == nullptr) return false;
  std::fclose(file);
  std::error_code ignored;
  fs::remove(probe, ignored);
  return true;
}

}  // namespace parlevo::platform
