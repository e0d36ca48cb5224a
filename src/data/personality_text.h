// Reading a personality file (base file, data file, test script) as lines of
// the code page: UTF-8, with the byte order mark or without it, is converted.
#ifndef PARLEVO_DATA_PERSONALITY_TEXT_H_
#define PARLEVO_DATA_PERSONALITY_TEXT_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/load_note.h"

namespace parlevo {

inline constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// How the bytes of a personality file were taken.
enum class TTextEncoding {
  kCodePage,    // as the process code page, the file's own form
  kUtf8Marked,  // UTF-8 with the mark, converted to the code page
  kUtf8Plain,   // UTF-8 without the mark (well-formed, not all ASCII), converted
};

struct TPersonalityText {
  std::vector<std::string> Lines;  // in the process code page
  TTextEncoding Encoding = TTextEncoding::kCodePage;
  // Read as UTF-8: each line with characters the code page lacks (they read
  // as "?"), and for kUtf8Plain first a note that it was read as UTF-8. The
  // notes' File is the path read, empty for bytes decoded.
  std::vector<TLoadNote> Notes;
};

// Lines back to back in one text, each found by where it ends: what a data
// file of many thousand lines reads into, with no string per line.
class TTextLines {
 public:
  size_t size() const { return ends_.size(); }
  bool empty() const { return ends_.empty(); }
  std::string_view operator[](size_t i) const {
    const uint32_t begin = i == 0 ? 0 : ends_[i - 1];
    return std::string_view(text_).substr(begin, ends_[i] - begin);
  }
  void Add(std::string_view line);
  void Reserve(size_t bytes) { text_.reserve(bytes); }

 private:
  std::string text_;
  std::vector<uint32_t> ends_;
};

// The same as TPersonalityText, its lines in one text.
struct TPersonalityLines {
  TTextLines Lines;
  TTextEncoding Encoding = TTextEncoding::kCodePage;
  std::vector<TLoadNote> Notes;
};

// Reads the file (native path) with the line rules of every text file,
// within the personality file budget (ReadFileWithinBudget). An enciphered
// file stays in the code page, whatever its bytes. Throws platform::EFileError;
// also, naming the entries budget, for a file of more than `max_lines` lines
// (what is left of kMaxPersonalityEntries), before any line is made.
TPersonalityText ReadPersonalityText(std::string_view path, size_t max_lines = SIZE_MAX);

// The same lines, in one text (for data files).
TPersonalityLines ReadPersonalityLines(std::string_view path, size_t max_lines = SIZE_MAX);

// Decodes bytes already read; `ReadPersonalityText` is this plus the reading.
TPersonalityText DecodePersonalityText(std::string_view bytes);

// The one rule for a file without the mark: it is UTF-8 when its bytes are
// well-formed UTF-8 and not all ASCII. Japanese Shift JIS text is practically
// never well-formed UTF-8 (its kana bytes 0x82 0x9F.. are continuation bytes
// with no lead), and ASCII reads the same either way.
bool IsPlainUtf8(std::string_view bytes);

// The characters of a UTF-16 line that do not survive the code page (they
// would read back as "?" or as another character), in order.
std::vector<char32_t> CharactersLost(std::u16string_view line);

// "U+2460", the way notes name a character that the code page lacks.
std::string CodePointName(char32_t code_point);

}  // namespace parlevo

#endif  // PARLEVO_DATA_PERSONALITY_TEXT_H_
