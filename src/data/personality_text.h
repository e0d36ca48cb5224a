// Reading a base file or knowledge data file as lines of the code page: a
// file that begins with the UTF-8 byte order mark is read as UTF-8 and
// converted; one that only looks like UTF-8 is read as it is, and flagged.
#ifndef PARLEVO_DATA_PERSONALITY_TEXT_H_
#define PARLEVO_DATA_PERSONALITY_TEXT_H_

#include <string>
#include <string_view>
#include <vector>

namespace parlevo {

inline constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// How the bytes of a personality file were taken.
enum class TTextEncoding {
  kCodePage,         // as the process code page, the file's own form
  kUtf8Marked,       // UTF-8 with the mark, converted to the code page
  kUtf8WithoutMark,  // UTF-8 by the look of it, but read as the code page
};

// Something about a file's encoding worth telling its author.
struct TEncodingNote {
  int Line = 0;  // 1-based; 0 for the whole file
  std::string Message;
};

struct TPersonalityText {
  std::vector<std::string> Lines;  // in the process code page
  TTextEncoding Encoding = TTextEncoding::kCodePage;
  // kUtf8Marked: each line with characters the code page lacks (they read
  // as "?"); kUtf8WithoutMark: one note for the whole file.
  std::vector<TEncodingNote> Notes;
};

// Reads the file (ANSI path) with the line rules of every text file, at most
// `max_bytes` bytes. An enciphered file stays in the code page, mark or not.
// Throws platform::EFileError as ReadTextLines does.
TPersonalityText ReadPersonalityText(std::string_view ansi_path, size_t max_bytes);

// Decodes bytes already read; `ReadPersonalityText` is this plus the reading.
TPersonalityText DecodePersonalityText(std::string_view bytes);

// True when `bytes` have no mark, are well-formed UTF-8 with text the code
// page reads as something else (Japanese, for code page 932), and make
// little sense read as the code page.
bool LooksLikeUtf8WithoutMark(std::string_view bytes);

// The characters of a UTF-16 line that do not survive the code page (they
// would read back as "?" or as another character), in order.
std::vector<char32_t> CharactersLost(std::u16string_view line);

// "U+2460", the way notes name a character that the code page lacks.
std::string CodePointName(char32_t code_point);

}  // namespace parlevo

#endif  // PARLEVO_DATA_PERSONALITY_TEXT_H_
