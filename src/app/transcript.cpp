// Text helpers of the transcript: the line pattern with its two placeholders
// and the brace stripping applied to every utterance.
#include "app/transcript.h"

#include <cstddef>

#include "platform/codepage.h"

namespace parlevo {
namespace {

// Byte offset of the first occurrence of `upper_needle` (ASCII, upper case)
// in `text`, compared after ANSI upper-casing and starting only on a
// character boundary; npos when there is none.
size_t FindPlaceholder(std::string_view text, std::string_view upper_needle) {
  const std::string upper = platform::AnsiUpper(text);
  for (size_t i = 0; i + upper_needle.size() <= text.size(); i += platform::CharLengthAt(text, i)) {
    if (std::string_view(upper).substr(i, upper_needle.size()) == upper_needle) return i;
  }
  return std::string_view::npos;
}

std::string ReplaceFirst(std::string_view text, std::string_view upper_needle,
                         std::string_view value) {
  size_t at = FindPlaceholder(text, upper_needle);
  std::string result(text);
  if (at != std::string_view::npos) result.replace(at, upper_needle.size(), value);
  return result;
}

std::string ReplaceLineBreaks(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      result += "{BR}";
      ++i;
    } else {
      result += text[i];
    }
  }
  return result;
}

}  // namespace

std::string FormatLine(std::string_view log_format, std::string_view name, std::string_view said) {
  std::string line = ReplaceFirst(log_format, "%CHARNAME", name);
  line = ReplaceFirst(line, "%COMMENT", said);
  return ReplaceLineBreaks(line);
}

std::u16string StripBraces(std::u16string_view text) {
  std::u16string result;
  result.reserve(text.size());
  ptrdiff_t depth = 0;  // wide enough for any text length
  for (char16_t c : text) {
    if (c == u'{') {
      ++depth;
    } else if (c == u'}') {
      --depth;
    } else if (depth <= 0) {
      result += c;
    }
  }
  return result;
}

}  // namespace parlevo
