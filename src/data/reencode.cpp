// Re-encoding a personality file: every line must survive the trip, so a file
// is converted whole or not at all, and the refusal names the first line that
// would not.
#include "data/reencode.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

TReencoding Converted(std::string bytes) {
  TReencoding result;
  result.Bytes = std::move(bytes);
  return result;
}

// Refused because of the line of index `line_index`, or of the whole file
// (kWholeFile).
constexpr size_t kWholeFile = static_cast<size_t>(-1);
TReencoding Refused(size_t line_index, std::string reason) {
  TReencoding result;
  result.Refused = true;
  result.Line = line_index == kWholeFile ? 0 : static_cast<int>(line_index + 1);
  result.Reason = std::move(reason);
  return result;
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

// True when `wide`, read from a double-byte character, is one character
// that the code page writes back as the other double-byte spelling `back`.
bool SpelledTwice(std::u16string_view wide, std::string_view back) {
  return wide.size() == 1 && wide[0] >= 0x80 && wide[0] != u'\uFFFD' && back.size() == 2 &&
         platform::AnsiToWide(back) == wide;
}

// The refusal for the first code page character of `lines` that does not
// survive a trip through Unicode (bytes that form no character); none when
// all do. A character the code page spells twice comes back in its other
// spelling: that is noted in `notes`, not refused.
TReencoding FirstBadCodePageChar(const std::vector<std::string>& lines,
                                 std::vector<TReencodeNote>& notes) {
  for (size_t n = 0; n < lines.size(); ++n) {
    const std::string& line = lines[n];
    for (size_t i = 0; i < line.size();) {
      const size_t len = platform::CharLengthAt(line, i);
      const std::string_view c = std::string_view(line).substr(i, len);
      const std::u16string wide = platform::AnsiToWide(c);
      const std::string back = platform::WideToAnsi(wide);
      if (back != c) {
        if (!SpelledTwice(wide, back)) {
          return Refused(n, "bytes " + HexBytes(c) + " are no character of " + PageName());
        }
        notes.push_back({static_cast<int>(n + 1), platform::WideToUtf8(wide) + " (bytes " +
                                                      HexBytes(c) + ") is spelled twice in " +
                                                      PageName() + ": it comes back as " +
                                                      HexBytes(back)});
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
  // Already UTF-8 (read as such), only the mark is missing.
  if (IsPlainUtf8(bytes)) return Converted(std::string(kUtf8Mark) + std::string(bytes));
  std::vector<TReencodeNote> notes;
  TReencoding result = FirstBadCodePageChar(lines, notes);
  if (result.Refused) return result;
  result = Converted(std::string(kUtf8Mark) + platform::WideToUtf8(platform::AnsiToWide(bytes)));
  result.Notes = std::move(notes);
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
  if (!result.Refused) result.Bytes = platform::WideToAnsi(platform::Utf8ToWide(bytes));
  return result;
}

// Who owns a file and who may read it.
struct TFileOwnership {
  bool Known = false;
  mode_t Mode = 0;
  uid_t Owner = 0;
  gid_t Group = 0;
};

TFileOwnership OwnershipOf(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return {};
  return {true, static_cast<mode_t>(st.st_mode & 07777), st.st_uid, st.st_gid};
}

// Gives the backup the original's permissions before its content is
// written (an atomic replace keeps the permissions of the file it
// replaces), so a private file never has a readable copy, not even for a
// moment.
void PrepareBackup(const std::string& backup, const TFileOwnership& original) {
  if (!original.Known) return;
  const int fd = ::open(backup.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return;  // the write that follows says why
  ::fchmod(fd, original.Mode);
  ::close(fd);
}

// Gives the file the original's owner and group where the process may (a
// file replaced by another user belongs to that user otherwise).
void KeepOwner(const std::string& path, const TFileOwnership& original) {
  if (!original.Known) return;
  if (::chown(path.c_str(), original.Owner, original.Group) == 0) {
    ::chmod(path.c_str(), original.Mode);  // chown may clear set-id bits
  }
}

}  // namespace

std::string EncodingName(TTargetEncoding to) {
  return to == TTargetEncoding::kUtf8 ? "UTF-8 with the byte order mark" : PageName();
}

TReencoding Reencode(std::string_view bytes, TTargetEncoding to) {
  TReencoding result = to == TTargetEncoding::kUtf8 ? ToUtf8(bytes) : ToCodePage(bytes);
  if (!result.Refused && result.Bytes.size() > kMaxPersonalityFileBytes) {
    return Refused(kWholeFile, "in " + EncodingName(to) + " it would take " +
                                   std::to_string(result.Bytes.size()) + " bytes, over the " +
                                   std::to_string(kMaxPersonalityFileBytes >> 20) +
                                   " MiB budget of a file, which loading refuses");
  }
  return result;
}

TFileReencoding ReencodeFile(std::string_view path, TTargetEncoding to) {
  // Through a link to the file it names, so the link stays a link.
  const std::string target = platform::FollowLinks(path);
  const std::string bytes = ReadFileWithinBudget(target);
  TFileReencoding file;
  file.Result = Reencode(bytes, to);
  if (file.Result.Refused) {
    file.Outcome = TReencodeOutcome::kRefused;
    return file;
  }
  if (file.Result.Bytes == bytes) return file;  // kAlready
  file.Outcome = TReencodeOutcome::kConverted;
  file.Backup = target + ".bak";
  const TFileOwnership original = OwnershipOf(target);
  PrepareBackup(file.Backup, original);
  platform::WriteFileBytesAtomic(file.Backup, bytes);
  KeepOwner(file.Backup, original);
  platform::WriteFileBytesAtomic(target, file.Result.Bytes);  // keeps the permissions
  KeepOwner(target, original);
  return file;
}

}  // namespace parlevo
