// Reading a personality file as code page lines, whatever its author's editor
// saved: UTF-8 with the byte order mark, or without it when the bytes are
// well-formed UTF-8 that is not all ASCII, is converted on the way in; any
// other file is in the code page already.
#include "data/personality_text.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <stdexcept>

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

// Calls `add` with each line of UTF-8 `utf8` in the code page, noting the
// characters the code page lacks.
template <typename Add>
void DecodeUtf8(std::string_view utf8, TTextEncoding encoding, std::vector<TLoadNote>& notes,
                Add add) {
  if (encoding == TTextEncoding::kUtf8Plain) {
    notes.push_back({{}, 0, "read as UTF-8", "read-as-utf8", TLoadNoteLevel::kNote});
  }
  int line_number = 0;
  platform::VisitLines(utf8, [&](std::string_view line) {
    const std::u16string wide = platform::Utf8ToWide(line);
    NoteLostCharacters(wide, ++line_number, notes);
    add(platform::WideToAnsi(wide));
  });
}

// Calls `add` with each line of the file's `bytes` in the code page;
// returns how they were taken.
template <typename Add>
TTextEncoding DecodeLines(std::string_view bytes, std::vector<TLoadNote>& notes, Add add) {
  const bool marked = HasMark(bytes);
  const std::string_view unmarked = marked ? bytes.substr(kUtf8Mark.size()) : bytes;
  // Enciphered lines are bytes of the code page, whatever they look like.
  const std::string_view first =
      unmarked.substr(0, unmarked.find_first_of(std::string_view("\r\n\0", 3)));
  if (!IsEncryptedLine(first)) {
    if (marked) {
      DecodeUtf8(unmarked, TTextEncoding::kUtf8Marked, notes, add);
      return TTextEncoding::kUtf8Marked;
    }
    if (IsPlainUtf8(bytes)) {
      DecodeUtf8(bytes, TTextEncoding::kUtf8Plain, notes, add);
      return TTextEncoding::kUtf8Plain;
    }
  }
  platform::VisitLines(unmarked, add);
  return TTextEncoding::kCodePage;
}

// The file's bytes: an editor's unsaved text, when a language server asks
// (text_overlay.h), or what is read into `read`.
std::string_view FileBytes(std::string_view path, size_t max_lines, std::string& read) {
  const std::string* overlay = TTextOverlay::Find(path);
  if (overlay != nullptr && overlay->size() > kMaxPersonalityFileBytes) {
    throw platform::EFileError("cannot read file", std::string(path), EFBIG);
  }
  if (overlay == nullptr) read = ReadFileWithinBudget(path);
  const std::string_view bytes = overlay != nullptr ? std::string_view(*overlay) : read;
  // A line takes at least a byte: a short file needs no count.
  if (bytes.size() > max_lines && CountLines(bytes) > max_lines) {
    throw EntriesBudgetError(std::string(path));
  }
  return bytes;
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

void TTextLines::Add(std::string_view line) {
  if (text_.size() + line.size() > UINT32_MAX) throw std::length_error("TTextLines: too long");
  text_.append(line);
  ends_.push_back(static_cast<uint32_t>(text_.size()));
}

TPersonalityText DecodePersonalityText(std::string_view bytes) {
  TPersonalityText text;
  text.Encoding =
      DecodeLines(bytes, text.Notes, [&](std::string_view line) { text.Lines.emplace_back(line); });
  return text;
}

TPersonalityText ReadPersonalityText(std::string_view path, size_t max_lines) {
  std::string read;
  TPersonalityText text = DecodePersonalityText(FileBytes(path, max_lines, read));
  for (TLoadNote& note : text.Notes) note.File = std::string(path);
  return text;
}

TPersonalityLines ReadPersonalityLines(std::string_view path, size_t max_lines) {
  std::string read;
  const std::string_view bytes = FileBytes(path, max_lines, read);
  TPersonalityLines text;
  text.Lines.Reserve(bytes.size());  // as long as the bytes, or shorter
  text.Encoding =
      DecodeLines(bytes, text.Notes, [&](std::string_view line) { text.Lines.Add(line); });
  for (TLoadNote& note : text.Notes) note.File = std::string(path);
  return text;
}

}  // namespace parlevo
