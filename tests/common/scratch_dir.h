// A scratch folder for tests that write their own small files: a fresh folder
// under the system's temporary folder, removed with everything in it.
#ifndef PARLEVO_TESTS_COMMON_SCRATCH_DIR_H_
#define PARLEVO_TESTS_COMMON_SCRATCH_DIR_H_

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace parlevo::test {

// Copies the files under `from` to `to` (made as needed), leaving out state
// files (*.lts): samples talked to where they lie must not change what a
// test starts from.
inline void CopySamples(const std::filesystem::path& from, const std::filesystem::path& to) {
  namespace fs = std::filesystem;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(from)) {
    if (!entry.is_regular_file() || entry.path().extension() == ".lts") continue;
    const fs::path target = to / fs::relative(entry.path(), from);
    fs::create_directories(target.parent_path());
    fs::copy_file(entry.path(), target, fs::copy_options::overwrite_existing);
  }
}

class ScratchDir {
 public:
  explicit ScratchDir(std::string_view prefix = "parlevo") {
    std::string pattern =
        (std::filesystem::temp_directory_path() / (std::string(prefix) + "-XXXXXX")).string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
    folder_ = pattern + '/';
  }
  ~ScratchDir() {
    std::error_code ignored;  // a test may have taken the write permission away
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  // The folder as a text, ending in "/".
  const std::string& Folder() const { return folder_; }
  // Full path of `name` inside the folder.
  std::string File(std::string_view name) const { return folder_ + std::string(name); }
  std::string operator/(std::string_view name) const { return File(name); }

  // Writes the lines with CR LF, as personality files are written; returns the path.
  std::string Write(std::string_view name, const std::vector<std::string>& lines) const {
    std::string bytes;
    for (const std::string& line : lines) bytes += line + "\r\n";
    return WriteBytes(name, bytes);
  }
  std::string WriteBytes(std::string_view name, std::string_view bytes) const {
    std::filesystem::path file = path_ / name;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file.string();
  }
  std::string Read(std::string_view name) const {
    std::ifstream in(path_ / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

 private:
  std::filesystem::path path_;
  std::string folder_;
};

}  // namespace parlevo::test

#endif  // PARLEVO_TESTS_COMMON_SCRATCH_DIR_H_
