// Re-encoding a personality file: every line must survive the trip, so a file
// is converted whole or not at all, and the refusal names the first line that
// would not.
#include "data/reencode.h"

#include <cstdio>
#include <vector>

#include "data/crypt.h"
#include "data/file_budget.h"
#include "data/personality_text.h"
#include "platform/codepage.h"
#include "platform/textfile.h"

namespace parlevo {
namespace {

std::string PageName() { return "code page " + std::to_string(platform::ProcessCodePage()); }

TReencoding Converted(std::string bytes) { return {std::move(bytes), 0, std::string()}; }

TReencoding Refused(size_t line_index, std::string reason) {
  return {std::string(), static_cast<int>(line_index + 1), std::move(reason)};
}

std::string HexBytes(std::string_view bytes) {
  std::string hex;
  char part[8];
  for (unsigned char b : bytes) {
    std::snprintf(part, sizeof part, "%s0x%02X", hex.empty() ? "" : " ", b);
    hex += part;
  }
  return hex;
}

// The refusal for the first code page character of `lines` that does not
// survive a trip through Unicode (bytes that form no character); none
// (RefusedLine 0) when all do.
TReencoding FirstBadCodePageChar(const std::vector<std::string>& lines) {
  for (size_t n = 0; n < lines.size(); ++n) {
    const std::string& line = lines[n];
    for (size_t i = 0; i < line.size();) {
      const size_t len = platform::CharLengthAt(line, i);
      const std::string_view c = std::string_view(line).substr(i, len);
      if (platform::WideToAnsi(platform::AnsiToWide(c)) != c) {
        return Refused(n, "bytes " + HexBytes(c) + " are no character of " + PageName());
      }
      i += len;
    }
  }
  return {};
}

// The refusal for the first character of UTF-8 `lines` that the code page
// cannot hold; none when it holds them all.
TReencoding FirstLostUtf8Char(const std::vector<std::string>& lines) {
  for (size_t n = 0; n < lines.size(); ++n) {
    const std::vector<char32_t> lost = CharactersLost(platform::Utf8ToWide(lines[n]));
    if (lost.empty()) continue;
    std::string character;
    platform::AppendUtf8(character, lost[0]);
    return Refused(n, "character " + character + " (" + CodePointName(lost[0]) +
                          ") has no form in " + PageName());
  }
  return {};
}

// A code page file as UTF-8 with the mark.
TReencoding ToUtf8(std::string_view bytes) {
  if (bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark) return Converted(std::string(bytes));
  const std::vector<std::string> lines = platform::SplitLines(bytes);
  if (IsEncrypted(lines)) return Refused(0, "an enciphered file stays in the " + PageName());
  // Already UTF-8, only the mark is missing.
  if (LooksLikeUtf8WithoutMark(bytes))
    return Converted(std::string(kUtf8Mark) + std::string(bytes));
  TReencoding result = FirstBadCodePageChar(lines);
  if (result.RefusedLine == 0) {
    result.Bytes = std::string(kUtf8Mark) + platform::WideToUtf8(platform::AnsiToWide(bytes));
  }
  return result;
}

// A UTF-8 file (mark or not) in the code page.
TReencoding ToCodePage(std::string_view bytes) {
  const bool marked = bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark;
  if (marked) bytes.remove_prefix(kUtf8Mark.size());
  // No mark and no UTF-8: the file is in the code page already.
  if (!marked && !platform::IsValidUtf8(bytes)) return Converted(std::string(bytes));
  const std::vector<std::string> lines = platform::SplitLines(bytes);
  if (!platform::IsValidUtf8(bytes)) {
    for (size_t n = 0; n < lines.size(); ++n) {
      if (!platform::IsValidUtf8(lines[n])) return Refused(n, "the line is not well-formed UTF-8");
    }
  }
  TReencoding result = FirstLostUtf8Char(lines);
  if (result.RefusedLine == 0) result.Bytes = platform::WideToAnsi(platform::Utf8ToWide(bytes));
  return result;
}

}  // namespace

std::string EncodingName(TTargetEncoding to) {
  return to == TTargetEncoding::kUtf8 ? "UTF-8 with the byte order mark" : PageName();
}

TReencoding Reencode(std::string_view bytes, TTargetEncoding to) {
  return to == TTargetEncoding::kUtf8 ? ToUtf8(bytes) : ToCodePage(bytes);
}

TFileReencoding ReencodeFile(std::string_view path, TTargetEncoding to) {
  const std::string bytes = platform::ReadFileBytes(path, kMaxPersonalityFileBytes);
  TReencoding converted = Reencode(bytes, to);
  TFileReencoding result;
  if (converted.RefusedLine > 0) {
    result.Outcome = TReencodeOutcome::kRefused;
    result.RefusedLine = converted.RefusedLine;
    result.Reason = std::move(converted.Reason);
    return result;
  }
  if (converted.Bytes == bytes) return result;  // kAlready
  result.Outcome = TReencodeOutcome::kConverted;
  result.Backup = std::string(path) + ".bak";
  platform::WriteFileBytesAtomic(result.Backup, bytes);
  platform::WriteFileBytesAtomic(path, converted.Bytes);
  return result;
}

}  // namespace parlevo
