// Helpers of the file-reading fuzz targets: a private scratch folder and
// writing the fuzz input into a file there.
#ifndef PARLEVO_TESTS_FUZZ_FUZZ_UTIL_H_
#define PARLEVO_TESTS_FUZZ_FUZZ_UTIL_H_

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace fuzz {

// A folder of this process's own, made once, ending in "/"; removed with
// what it holds when the fuzzer exits.
inline const std::string& ScratchDir() {
  // The name outlives every static string, so the removal at exit can read it.
  static char name[] = "/tmp/parlevo-fuzz-XXXXXX";
  static const std::string dir = [] {
    if (mkdtemp(name) == nullptr) abort();
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(name, ignored);
    });
    return std::string(name) + "/";
  }();
  return dir;
}

// Removes the files of `dir` whose names begin with `prefix` (what a run
// kept aside), so that they do not pile up over millions of inputs.
inline void RemoveFilesStartingWith(const std::string& dir, const std::string& prefix) {
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(dir, ignored)) {
    if (entry.path().filename().string().rfind(prefix, 0) == 0) {
      std::filesystem::remove(entry.path(), ignored);
    }
  }
}

inline void WriteFile(const std::string& path, const void* data, size_t size) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) abort();
  if (size > 0 && std::fwrite(data, 1, size, f) != size) abort();
  std::fclose(f);
}

inline void WriteFile(const std::string& path, const std::string& text) {
  WriteFile(path, text.data(), text.size());
}

}  // namespace fuzz

#endif  // PARLEVO_TESTS_FUZZ_FUZZ_UTIL_H_
