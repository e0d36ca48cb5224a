// The search over a text with a compiled automaton: leftmost start, then the
// longest match at that start, in byte positions.
#ifndef PARLEVO_REGEX_SEARCH_H_
#define PARLEVO_REGEX_SEARCH_H_

#include <cstdint>
#include <string_view>

#include "regex/reader.h"

namespace parlevo {

class TbmREDFATable;

// Decodes one character at byte `pos` of `text` (pos < text.size()) and sets
// `len` to the bytes it covers. A lead byte at the very end is one character
// of value lead * 256 covering one byte.
struct TbmREDecoder {
  explicit TbmREDecoder(TbmCharCode code);
  int32_t Decode(const uint8_t* text, int32_t n, int32_t pos, int32_t& len) const {
    if (unicode) {
      len = 2;
      return text[pos] | (text[pos + 1] << 8);
    }
    uint8_t b = text[pos];
    if (!is_lead[b] || pos + 1 >= n) {
      len = 1;
      return is_lead[b] ? b * 256 : b;
    }
    len = 2;
    return b * 256 + text[pos + 1];
  }
  // The bytes of the character at `pos`, as Decode says.
  int32_t Length(const uint8_t* text, int32_t n, int32_t pos) const {
    return unicode || (is_lead[text[pos]] && pos + 1 < n) ? 2 : 1;
  }
  // The start of the character that ends right before byte `pos` (> 0).
  int32_t PreviousStart(const uint8_t* text, int32_t n, int32_t pos) const;
  // A line begins at byte `pos`: the text's start, after LF, or after a CR
  // that no LF follows.
  bool LineHeadAt(const uint8_t* text, int32_t n, int32_t pos) const;

  bool unicode = false;
  const bool* is_lead;
};

// Searches `text` from byte `from` (0-based). On a match sets `pos` (0-based)
// and `len` and returns true; otherwise pos = -1, len = 0. Throws
// std::runtime_error for a UniCode text of odd length.
bool bmreSearch(const TbmREDFATable& dfa, TbmCharCode code, std::string_view text, int32_t from,
                int32_t& pos, int32_t& len);

}  // namespace parlevo

#endif  // PARLEVO_REGEX_SEARCH_H_
