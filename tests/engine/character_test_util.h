// Helpers for the character tests: a temporary folder, Shift JIS files
// written from UTF-8 literals, small generated characters and the committed
// test characters copied to where their state files may be written.
#ifndef PARLEVO_TESTS_ENGINE_CHARACTER_TEST_UTIL_H_
#define PARLEVO_TESTS_ENGINE_CHARACTER_TEST_UTIL_H_

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/scratch_dir.h"
#include "platform/codepage.h"

namespace parlevo::testing {

inline std::string Ansi(std::string_view utf8) { return platform::Utf8ToAnsi(utf8); }
inline std::string Utf8(std::string_view ansi) { return platform::AnsiToUtf8(ansi); }

using TempDir = test::ScratchDir;

// Writes raw bytes.
inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Writes UTF-8 lines as code page lines, each ended by CR LF.
inline void WriteLines(const std::string& path, const std::vector<std::string>& utf8_lines) {
  std::string bytes;
  for (const std::string& line : utf8_lines) bytes += Ansi(line) + "\r\n";
  WriteBytes(path, bytes);
}

// A generated character: base file "<dir>chara.ltc" with version, name and
// an empty folder value; each data key of `data` names the file
// "<key>.txt" beside it, holding the given lines.
struct CharacterRecipe {
  std::string version = "210";
  std::string name = "テスト";
  std::map<std::string, std::vector<std::string>> data;
};

inline std::string MakeCharacter(const TempDir& dir, const CharacterRecipe& recipe) {
  std::vector<std::string> base = {"version", recipe.version, "name", recipe.name, "folder", ""};
  for (const auto& [key, lines] : recipe.data) {
    base.push_back(key);
    base.push_back(key + ".txt");
    WriteLines(dir / (key + ".txt"), lines);
  }
  WriteLines(dir / "chara.ltc", base);
  return dir / "chara.ltc";
}

// Copies the committed test characters (tests/data/characters) into `dir`,
// so that loading them writes nothing into the source tree.
inline void CopyTestCharacters(const TempDir& dir) {
  std::filesystem::copy(std::string(PARLEVO_TEST_DATA) + "/data/characters", dir.Folder(),
                        std::filesystem::copy_options::recursive);
}

}  // namespace parlevo::testing

#endif  // PARLEVO_TESTS_ENGINE_CHARACTER_TEST_UTIL_H_
