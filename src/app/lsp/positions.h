// Where in a document: the protocol counts a line's characters in the units
// the client and server agreed on (UTF-16 by default, UTF-8 when offered);
// the features count them in UTF-16, as the code page's characters.
#ifndef PARLEVO_APP_LSP_POSITIONS_H_
#define PARLEVO_APP_LSP_POSITIONS_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "app/lsp/protocol.h"

namespace parlevo::lsp {

enum class TPositionEncoding { kUtf16, kUtf8 };

// "utf-16" or "utf-8", as initialize's answer names it.
std::string_view EncodingName(TPositionEncoding encoding);

// The lines of a document's text: they end at LF, CR LF or CR, as the
// protocol counts them.
std::vector<std::string> SplitDocumentLines(std::string_view text);

// The UTF-16 index of a client's `character` in `utf8_line` (clamped to the
// line's end; a position inside a character is taken as its start).
size_t WideIndex(std::string_view utf8_line, int64_t character, TPositionEncoding encoding);
// The client's character of UTF-16 index `index` of `utf8_line`.
int64_t ClientCharacter(std::string_view utf8_line, size_t index, TPositionEncoding encoding);

// A position on line `line` (0-based) of `lines`, at UTF-16 index `index`.
Json PositionJson(const std::vector<std::string>& lines, size_t line, size_t index,
                  TPositionEncoding encoding);
// A range on one line, UTF-16 indices [begin, end).
Json RangeJson(const std::vector<std::string>& lines, size_t line, size_t begin, size_t end,
               TPositionEncoding encoding);

// A client's position taken apart: the line, its text in UTF-16 and the
// index in it. A position past the document's end is InvalidParams.
struct TLineAt {
  size_t Line = 0;
  size_t Index = 0;
  std::u16string Text;
};
TLineAt LineAt(const std::vector<std::string>& lines, const Json& position,
               TPositionEncoding encoding);

}  // namespace parlevo::lsp

#endif  // PARLEVO_APP_LSP_POSITIONS_H_
