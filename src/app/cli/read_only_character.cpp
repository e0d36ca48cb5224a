// The read-only character warning: what cannot be saved, and a copy command
// whose copy keeps the base file's relative "folder" line working.
#include "app/cli/read_only_character.h"

#include <system_error>

#include "app/line_writer.h"
#include "data/character_file.h"
#include "platform/codepage.h"
#include "platform/folder_access.h"
#include "platform/textfile.h"

namespace parlevo::cli {
namespace {

namespace fs = std::filesystem;

// Where the copy goes, as the user types it.
constexpr const char* kCopyDestination = "~/parlevo/";

fs::path Absolute(const fs::path& path) {
  std::error_code ignored;
  fs::path absolute = fs::absolute(path, ignored).lexically_normal();
  if (!absolute.has_filename()) absolute = absolute.parent_path();  // a trailing separator
  return absolute;
}

// The deepest folder holding both folders: the base file's folder, unless its
// "folder" line points outside it (shared data one level up, say).
fs::path CommonFolder(const fs::path& a, const fs::path& b) {
  fs::path common;
  for (auto i = a.begin(), j = b.begin(); i != a.end() && j != b.end() && *i == *j; ++i, ++j) {
    common /= *i;
  }
  return common;
}

// `text` quoted for a POSIX shell.
std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace

std::string ReadOnlyCharacterWarning(const std::string& name, const fs::path& base_file,
                                     const fs::path& data_folder) {
  const fs::path base = Absolute(base_file);
  const fs::path data = Absolute(data_folder);
  fs::path copied = CommonFolder(base.parent_path(), data);
  if (copied == copied.root_path()) copied = base.parent_path();  // nothing sensible to share
  const fs::path copied_base = fs::path(copied.filename()) / base.lexically_relative(copied);
  std::string text = "warning: " + name + " cannot save what it remembers: its folder " +
                     data.string() + " is read-only, so its state file is not written.\n";
  text += "  To keep its memory, copy the character to a folder of your own and use the copy:\n";
  text += "    mkdir -p " + std::string(kCopyDestination) + " && cp -r " +
          ShellQuoted(copied.string()) + " " + kCopyDestination + "\n";
  text += "  then give " + std::string(kCopyDestination) + copied_base.string() + " instead.\n";
  return text;
}

void WarnWhenStateCannotBeSaved(const std::string& base_file) {
  try {
    if (!IsCharacterFile(base_file)) return;  // loading says what is wrong
    const TCharacterFile file(base_file);
    const fs::path data_folder = file.DataFolder();  // native, as the path given
    std::error_code error;
    if (!fs::is_directory(data_folder, error) || platform::FolderWritable(data_folder)) return;
    const fs::path native_base = base_file;
    std::string name = platform::AnsiToUtf8(file.GetValue("name"));
    if (name.empty()) name = native_base.filename().string();
    std::string warning = ReadOnlyCharacterWarning(name, native_base, data_folder);
    warning.pop_back();  // the writer ends the last line
    StandardError().Line(warning);
  } catch (const std::exception&) {
    // An unreadable base file: loading reports it.
  }
}

}  // namespace parlevo::cli
