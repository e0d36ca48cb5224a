// Reading a personality file as code page lines, whatever its author's editor
// saved: UTF-8 with the byte order mark, or without it when the bytes are
// well-formed UTF-8 that is not all ASCII, is converted on the way in; any
// other file is in the code page already.
#include "data/personality_text.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "data/crypt.h"
#include "data/file_budget.h"
#include "data/text_overlay.h"
#include "platform/codepage.h"
#include "platform/textfile.h"

namespace parlevo {
namespace {

bool HasMark(std::string_view bytes) { return bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark; }

// A line's characters that the code page lacks, as one note.
void NoteLostCharacters(std::u16string_view line, int line_number, std::vector<TLoadNote>& notes) {
  const std::vector<char32_t> lost = CharactersLost(line);
  if (lost.empty()) return;
  std::string names;
  for (char32_t c : lost) {
    if (!names.empty()) names += ' ';
    names += CodePointName(c);
  }
  notes.push_back({{},
                   line_number,
                   "characters code page " + std::to_string(platform::ProcessCodePage()) +
                       " lacks, read as \"?\": " + names,
                   "lost-characters"});
}

TPersonalityText DecodeUtf8(std::string_view utf8, TTextEncoding encoding) {
  TPersonalityText text;
  text.Encoding = encoding;
  if (encoding == TTextEncoding::kUtf8Plain) {
    text.Notes.push_back({{}, 0, "read as UTF-8", "read-as-utf8", TLoadNoteLevel::kNote});
  }
  int line_number = 0;
  for (const std::string& line : platform::SplitLines(utf8)) {
    const std::u16string wide = platform::Utf8ToWide(line);
    NoteLostCharacters(wide, ++line_number, text.Notes);
    text.Lines.push_back(platform::WideToAnsi(wide));
  }
  return text;
}

}  // namespace

std::string CodePointName(char32_t code_point) {
  char name[16];
  std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(code_point));
  return name;
}

std::vector<char32_t> CharactersLost(std::u16string_view line) {
  // Most lines survive whole: look at single characters only when not.
  if (platform::AnsiToWide(platform::WideToAnsi(line)) == line) return {};
  std::vector<char32_t> lost;
  for (size_t i = 0; i < line.size(); ++i) {
    size_t len = 1;
    if (line[i] >= 0xD800 && line[i] <= 0xDBFF && i + 1 < line.size() && line[i + 1] >= 0xDC00 &&
        line[i + 1] <= 0xDFFF) {
      len = 2;
    }
    const std::u16string_view c = line.substr(i, len);
    if (platform::AnsiToWide(platform::WideToAnsi(c)) != c) {
      lost.push_back(len == 2 ? 0x10000 + ((c[0] - 0xD800) << 10) + (c[1] - 0xDC00) : c[0]);
    }
    i += len - 1;
  }
  return lost;
}

bool IsPlainUtf8(std::string_view bytes) {
  if (HasMark(bytes)) return false;
  // A NUL ends the text: what follows it is never read.
  bytes = bytes.substr(0, bytes.find('\0'));
  const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  return !ascii && platform::IsValidUtf8(bytes);
}

TPersonalityText DecodePersonalityText(std::string_view bytes) {
  const bool marked = HasMark(bytes);
  const std::string_view unmarked = marked ? bytes.substr(kUtf8Mark.size()) : bytes;
  std::vector<std::string> lines = platform::SplitLines(unmarked);
  // Enciphered lines are bytes of the code page, whatever they look like.
  if (IsEncrypted(lines)) return {std::move(lines), TTextEncoding::kCodePage, {}};
  if (marked) return DecodeUtf8(unmarked, TTextEncoding::kUtf8Marked);
  if (IsPlainUtf8(bytes)) return DecodeUtf8(bytes, TTextEncoding::kUtf8Plain);
  return {std::move(lines), TTextEncoding::kCodePage, {}};
}

TPersonalityText ReadPersonalityText(std::string_view path, size_t max_lines) {
  // An editor's unsaved text, when a language server asks (text_overlay.h).
  const std::string* overlay = TTextOverlay::Find(path);
  if (overlay != nullptr && overlay->size() > kMaxPersonalityFileBytes) {
    throw platform::EFileError("cannot read file", std::string(path), EFBIG);
  }
  std::string read;
  if (overlay == nullptr) read = ReadFileWithinBudget(path);
  const std::string_view bytes = overlay != nullptr ? std::string_view(*overlay) : read;
  // A line takes at least a byte: a short file needs no count.
  if (bytes.size() > max_lines && CountLines(bytes) > max_lines) {
    throw EntriesBudgetError(std::string(path));
  }
  TPersonalityText text = DecodePersonalityText(bytes);
  for (TLoadNote& note : text.Notes) note.File = std::string(path);
  return text;
}

}  // namespace parlevo
