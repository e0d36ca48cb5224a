// Reading a personality file as code page lines, whatever its author's editor
// saved: the UTF-8 byte order mark selects UTF-8 (converted on the way in),
// and UTF-8 without it is recognised by its look and reported.
//
// Telling UTF-8 from Shift JIS: Japanese Shift JIS text is almost never
// well-formed UTF-8 (its hiragana bytes 0x82 0x9F.. are UTF-8 continuation
// bytes with no lead), and UTF-8 Japanese read as Shift JIS gives rare kanji
// and half-width kana rather than the kana and common kanji of real text.
// A file is flagged only when both hold.
#include "data/personality_text.h"

#include <cerrno>
#include <cstdio>

#include "data/crypt.h"
#include "data/text_overlay.h"
#include "platform/codepage.h"
#include "platform/textfile.h"

namespace parlevo {
namespace {

std::string_view WithoutMark(std::string_view bytes) {
  return bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark ? bytes.substr(kUtf8Mark.size()) : bytes;
}

// Kana, CJK punctuation and ideographs, and the full-width forms.
bool IsJapanese(char16_t c) {
  return (c >= 0x3000 && c <= 0x30FF) || (c >= 0x4E00 && c <= 0x9FFF) ||
         (c >= 0xFF00 && c <= 0xFFEF);
}

// A double-byte character of everyday Japanese text in Shift JIS: the
// symbols of row 1, full-width digits and letters, hiragana, katakana, and
// the first-level kanji.
bool IsCommonShiftJis(unsigned lead, unsigned trail) {
  if (trail < 0x40 || trail == 0x7F || trail > 0xFC) return false;  // no character at all
  const unsigned code = lead << 8 | trail;
  return lead == 0x81 || (code >= 0x824F && code <= 0x8258) || (code >= 0x8260 && code <= 0x8279) ||
         (code >= 0x8281 && code <= 0x829A) || (code >= 0x829F && code <= 0x82F1) ||
         (code >= 0x8340 && code <= 0x8396) || (code >= 0x889F && code <= 0x9872);
}

// True when fewer than half of the non-ASCII characters of `bytes`, read as
// Shift JIS, are ones everyday text is made of.
bool MakesLittleSenseAsShiftJis(std::string_view bytes) {
  size_t characters = 0, common = 0;
  for (size_t i = 0; i < bytes.size();) {
    const size_t len = platform::CharLengthAt(bytes, i, platform::kCodePage932);
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead >= 0x80) {
      ++characters;
      if (len == 2 && IsCommonShiftJis(lead, static_cast<unsigned char>(bytes[i + 1]))) ++common;
    }
    i += len;
  }
  return 2 * common < characters;
}

// A line's characters that the code page lacks, as one note.
void NoteLostCharacters(std::u16string_view line, int line_number,
                        std::vector<TEncodingNote>& notes) {
  const std::vector<char32_t> lost = CharactersLost(line);
  if (lost.empty()) return;
  std::string names;
  for (char32_t c : lost) names += (names.empty() ? "" : " ") + CodePointName(c);
  notes.push_back({line_number, "characters code page " +
                                    std::to_string(platform::ProcessCodePage()) +
                                    " lacks, read as \"?\": " + names});
}

TPersonalityText DecodeMarked(std::string_view utf8) {
  TPersonalityText text;
  text.Encoding = TTextEncoding::kUtf8Marked;
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

bool LooksLikeUtf8WithoutMark(std::string_view bytes) {
  if (bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark || !platform::IsValidUtf8(bytes)) return false;
  const bool japanese_page = platform::ProcessCodePage() == platform::kCodePage932;
  bool foreign = false;
  for (char16_t c : platform::Utf8ToWide(bytes)) {
    if (c >= 0x80 && (!japanese_page || IsJapanese(c))) {
      foreign = true;
      break;
    }
  }
  return foreign && (!japanese_page || MakesLittleSenseAsShiftJis(bytes));
}

TPersonalityText DecodePersonalityText(std::string_view bytes) {
  const std::string_view unmarked = WithoutMark(bytes);
  std::vector<std::string> lines = platform::SplitLines(unmarked);
  if (IsEncrypted(lines)) return {std::move(lines), TTextEncoding::kCodePage, {}};
  if (unmarked.size() != bytes.size()) return DecodeMarked(unmarked);
  if (!LooksLikeUtf8WithoutMark(bytes)) return {std::move(lines), TTextEncoding::kCodePage, {}};
  const std::string page = std::to_string(platform::ProcessCodePage());
  return {std::move(lines),
          TTextEncoding::kUtf8WithoutMark,
          {{0, "looks like UTF-8 without the byte order mark, so it is read as code page " + page +
                   " and garbled: save it as UTF-8 with the mark, or convert it (parlevo-cli "
                   "convert --to sjis)"}}};
}

TPersonalityText ReadPersonalityText(std::string_view ansi_path, size_t max_bytes) {
  // An editor's unsaved text, when a language server asks (text_overlay.h).
  if (const std::string* text = TTextOverlay::Find(ansi_path)) {
    if (text->size() > max_bytes) {
      throw platform::EFileError("cannot read file", std::string(ansi_path), EFBIG);
    }
    return DecodePersonalityText(*text);
  }
  return DecodePersonalityText(platform::ReadFileBytes(ansi_path, max_bytes));
}

}  // namespace parlevo
