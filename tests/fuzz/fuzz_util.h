// Helpers of the file-reading fuzz targets: a private scratch folder and
// writing the fuzz input into a file there.
#ifndef PARLEVO_TESTS_FUZZ_FUZZ_UTIL_H_
#define PARLEVO_TESTS_FUZZ_FUZZ_UTIL_H_

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzz {

// A folder of this process's own, made once, ending in "/".
inline const std::string& ScratchDir() {
  static const std::string dir = [] {
    char templ[] = "/tmp/parlevo-fuzz-XXXXXX";
    if (mkdtemp(templ) == nullptr) abort();
    return std::string(templ) + "/";
  }();
  return dir;
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
