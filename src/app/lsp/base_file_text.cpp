// Reading a base file's pairs from the editor's lines.
#include "app/lsp/base_file_text.h"

#include "app/lsp/documents.h"
#include "data/character_file.h"
#include "engine/character.h"
#include "platform/codepage.h"

namespace parlevo::lsp {
namespace {

bool Separates(char16_t c) { return c == u',' || c == u' ' || c == u'\t' || c == u'"'; }

}  // namespace

std::string LowerAscii(std::string_view text) {
  std::string lowered(text);
  for (char& c : lowered) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lowered;
}

std::vector<std::string_view> BaseFileKeys() {
  std::vector<std::string_view> keys = {"name", "version", "folder"};
  for (int slot = 0; slot < TCharacter::kSlotCount; ++slot)
    keys.push_back(TCharacter::DataKey(slot));
  return keys;
}

std::optional<std::string> KeyOfValueLine(const std::vector<std::string>& lines, size_t line) {
  if (IsKeyLine(line) || line == 0 || line - 1 >= lines.size()) return std::nullopt;
  return LowerAscii(lines[line - 1]);
}

bool IsDataKey(std::string_view key) {
  for (int slot = 0; slot < TCharacter::kSlotCount; ++slot) {
    if (key == TCharacter::DataKey(slot)) return true;
  }
  return false;
}

std::string DataFolderOf(const TDocument& document) {
  std::string folder;
  for (size_t line = 0; line + 1 < document.Lines.size(); line += 2) {
    if (LowerAscii(document.Lines[line]) == "folder") {
      folder = document.Lines[line + 1];
      break;
    }
  }
  return ResolveDataFolder(document.Path, platform::Utf8ToAnsi(folder));
}

TNameSpan NameAround(std::u16string_view line, size_t index) {
  size_t begin = std::min(index, line.size());
  while (begin > 0 && !Separates(line[begin - 1])) --begin;
  size_t end = begin;
  while (end < line.size() && !Separates(line[end])) ++end;
  return {begin, end, std::u16string(line.substr(begin, end - begin))};
}

}  // namespace parlevo::lsp
