// A scratch folder for tests that write their own small files; removed with
// everything in it when the object goes.
#ifndef PARLEVO_TESTS_DATA_TEMP_DIR_H_
#define PARLEVO_TESTS_DATA_TEMP_DIR_H_

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace parlevo::test {

class TempDir {
 public:
  TempDir() {
    std::random_device seed;
    Path = std::filesystem::temp_directory_path() /
           ("parlevo_data_" + std::to_string(seed()) + std::to_string(seed()));
    std::filesystem::create_directories(Path);
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(Path, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // Full path of `name` inside the folder.
  std::string File(std::string_view name) const { return (Path / name).string(); }

  // Writes the lines with CR LF, as personality files are written.
  std::string Write(std::string_view name, const std::vector<std::string>& lines) const {
    std::string bytes;
    for (const std::string& line : lines) bytes += line + "\r\n";
    return WriteBytes(name, bytes);
  }
  std::string WriteBytes(std::string_view name, std::string_view bytes) const {
    std::filesystem::path file = Path / name;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file.string();
  }

 private:
  std::filesystem::path Path;
};

}  // namespace parlevo::test

#endif  // PARLEVO_TESTS_DATA_TEMP_DIR_H_
