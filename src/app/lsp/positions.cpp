// Converting between the client's position units and UTF-16 indices.
#include "app/lsp/positions.h"

#include <algorithm>

#include "platform/codepage.h"

namespace parlevo::lsp {

std::string_view EncodingName(TPositionEncoding encoding) {
  return encoding == TPositionEncoding::kUtf8 ? "utf-8" : "utf-16";
}

std::vector<std::string> SplitDocumentLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  // One pass over the text (find_first_of would ask each byte against the set).
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  lines.emplace_back(text.substr(start));
  return lines;
}

size_t WideIndex(std::string_view utf8_line, int64_t character, TPositionEncoding encoding) {
  const size_t wanted = static_cast<size_t>(std::max<int64_t>(character, 0));
  if (encoding == TPositionEncoding::kUtf16) {
    return std::min(wanted, platform::Utf8ToWide(utf8_line).size());
  }
  size_t end = std::min(wanted, utf8_line.size());
  // Back to the start of the character it falls in.
  while (end > 0 && end < utf8_line.size() && (utf8_line[end] & 0xC0) == 0x80) --end;
  return platform::Utf8ToWide(utf8_line.substr(0, end)).size();
}

int64_t ClientCharacter(std::string_view utf8_line, size_t index, TPositionEncoding encoding) {
  if (index == 0) return 0;
  const std::u16string wide = platform::Utf8ToWide(utf8_line);
  index = std::min(index, wide.size());
  if (encoding == TPositionEncoding::kUtf16) return static_cast<int64_t>(index);
  return static_cast<int64_t>(
      platform::WideToUtf8(std::u16string_view(wide).substr(0, index)).size());
}

Json PositionJson(const std::vector<std::string>& lines, size_t line, size_t index,
                  TPositionEncoding encoding) {
  const std::string_view text = line < lines.size() ? std::string_view(lines[line]) : "";
  return {{"line", line}, {"character", ClientCharacter(text, index, encoding)}};
}

Json RangeJson(const std::vector<std::string>& lines, size_t line, size_t begin, size_t end,
               TPositionEncoding encoding) {
  return {{"start", PositionJson(lines, line, begin, encoding)},
          {"end", PositionJson(lines, line, end, encoding)}};
}

TLineAt LineAt(const std::vector<std::string>& lines, const Json& position,
               TPositionEncoding encoding) {
  const auto line = Param<int64_t>(position, "line");
  const auto character = Param<int64_t>(position, "character");
  if (line < 0 || static_cast<size_t>(line) >= lines.size()) {
    throw ERequestError(kInvalidParams, "the position is past the document's end");
  }
  const std::string& text = lines[static_cast<size_t>(line)];
  return {static_cast<size_t>(line), WideIndex(text, character, encoding),
          platform::Utf8ToWide(text)};
}

}  // namespace parlevo::lsp
