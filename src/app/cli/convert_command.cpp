// `parlevo-cli convert --to utf8|sjis FILE...`: re-encodes personality files
// in place, between the code page and UTF-8 with the byte order mark. Each
// file is replaced atomically and its original kept as FILE.bak; a file with
// a line that would not come back the same is refused and left alone.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/cli/command.h"
#include "data/crypt.h"
#include "data/file_budget.h"
#include "data/personality_text.h"
#include "platform/codepage.h"
#include "platform/textfile.h"

namespace parlevo::cli {
namespace {

struct ConvertOptions {
  std::string to;
  std::vector<std::string> files;
};

// Why a file is not converted, said about one line of it.
struct Refusal {
  int line = 0;
  std::string reason;  // UTF-8
};

std::string PageName() { return "code page " + std::to_string(platform::ProcessCodePage()); }

std::string HexBytes(std::string_view bytes) {
  std::string hex;
  char part[8];
  for (unsigned char b : bytes) {
    std::snprintf(part, sizeof part, "%s0x%02X", hex.empty() ? "" : " ", b);
    hex += part;
  }
  return hex;
}

// The first code page character of `lines` that does not survive a trip
// through Unicode (bytes that form no character).
std::optional<Refusal> FirstBadCodePageChar(const std::vector<std::string>& lines) {
  for (size_t n = 0; n < lines.size(); ++n) {
    const std::string& line = lines[n];
    for (size_t i = 0; i < line.size();) {
      const size_t len = platform::CharLengthAt(line, i);
      const std::string_view c = std::string_view(line).substr(i, len);
      if (platform::WideToAnsi(platform::AnsiToWide(c)) != c) {
        return Refusal{static_cast<int>(n + 1),
                       "bytes " + HexBytes(c) + " are no character of " + PageName()};
      }
      i += len;
    }
  }
  return std::nullopt;
}

// The first character of UTF-8 `lines` that the code page cannot hold.
std::optional<Refusal> FirstLostUtf8Char(const std::vector<std::string>& lines) {
  for (size_t n = 0; n < lines.size(); ++n) {
    const std::vector<char32_t> lost = CharactersLost(platform::Utf8ToWide(lines[n]));
    if (lost.empty()) continue;
    std::u16string wide;
    if (lost[0] < 0x10000) {
      wide = std::u16string(1, static_cast<char16_t>(lost[0]));
    } else {
      wide = {static_cast<char16_t>(0xD800 + ((lost[0] - 0x10000) >> 10)),
              static_cast<char16_t>(0xDC00 + ((lost[0] - 0x10000) & 0x3FF))};
    }
    return Refusal{static_cast<int>(n + 1), "character " + platform::WideToUtf8(wide) + " (" +
                                                CodePointName(lost[0]) + ") has no form in " +
                                                PageName()};
  }
  return std::nullopt;
}

// The new content of a code page file as UTF-8 with the mark.
std::string ToUtf8(std::string_view bytes, std::optional<Refusal>& refusal) {
  if (bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark) return std::string(bytes);
  const std::vector<std::string> lines = platform::SplitLines(bytes);
  if (IsEncrypted(lines)) {
    refusal = Refusal{1, "an enciphered file stays in the " + PageName()};
    return {};
  }
  // Already UTF-8, only the mark is missing.
  if (LooksLikeUtf8WithoutMark(bytes)) return std::string(kUtf8Mark) + std::string(bytes);
  refusal = FirstBadCodePageChar(lines);
  return std::string(kUtf8Mark) + platform::WideToUtf8(platform::AnsiToWide(bytes));
}

// The new content of a UTF-8 file (mark or not) in the code page.
std::string ToCodePage(std::string_view bytes, std::optional<Refusal>& refusal) {
  const bool marked = bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark;
  if (marked) bytes.remove_prefix(kUtf8Mark.size());
  // No mark and no UTF-8: the file is in the code page already.
  if (!marked && !platform::IsValidUtf8(bytes)) return std::string(bytes);
  const std::vector<std::string> lines = platform::SplitLines(bytes);
  if (!platform::IsValidUtf8(bytes)) {
    for (size_t n = 0; n < lines.size(); ++n) {
      if (!platform::IsValidUtf8(lines[n])) {
        refusal = Refusal{static_cast<int>(n + 1), "the line is not well-formed UTF-8"};
        return {};
      }
    }
  }
  refusal = FirstLostUtf8Char(lines);
  return platform::WideToAnsi(platform::Utf8ToWide(bytes));
}

// Converts one file; false (with a message on stderr) when it is refused.
bool ConvertFile(const std::string& file_utf8, bool to_utf8) {
  const std::string& path = file_utf8;  // reaches the file system as given
  const std::string bytes = platform::ReadFileBytes(path, kMaxPersonalityFileBytes);
  std::optional<Refusal> refusal;
  const std::string converted = to_utf8 ? ToUtf8(bytes, refusal) : ToCodePage(bytes, refusal);
  if (refusal) {
    std::cerr << "error: " << file_utf8 << ":" << refusal->line << ": " << refusal->reason
              << "; file left as it was\n";
    return false;
  }
  const std::string form = to_utf8 ? "UTF-8 with the byte order mark" : PageName();
  if (converted == bytes) {
    std::cout << file_utf8 << ": already " << form << '\n';
    return true;
  }
  platform::WriteFileBytesAtomic(path + ".bak", bytes);
  platform::WriteFileBytesAtomic(path, converted);
  std::cout << file_utf8 << ": now " << form << " (the original is " << file_utf8 << ".bak)\n";
  return true;
}

int RunConvert(const ConvertOptions& options) {
  bool all = true;
  for (const std::string& file : options.files) {
    try {
      all = ConvertFile(file, options.to == "utf8") && all;
    } catch (const platform::EFileError& e) {
      std::cerr << "error: " << e.what() << '\n';  // UTF-8 already
      all = false;
    }
  }
  return all ? kExitOk : kExitFailure;
}

CommandRunner SetUpConvert(CLI::App& app) {
  auto options = std::make_shared<ConvertOptions>();
  CLI::App* convert = app.add_subcommand(
      "convert",
      "Re-encode personality files in place (the original kept as FILE.bak): to UTF-8 with the "
      "byte order mark, or back to the code page (Shift JIS by default)");
  convert->add_option("--to", options->to, "utf8 or sjis")
      ->required()
      ->check(CLI::IsMember({"utf8", "sjis"}));
  convert->add_option("files", options->files, "base and data files")->required();
  return [options] { return RunConvert(*options); };
}

const CommandRegistrar kConvertCommand(55, SetUpConvert);

}  // namespace
}  // namespace parlevo::cli
