// What checking a character finds: what loading passes over in silence, what
// its answers do wrong as written, and how many entries each slot holds.
#ifndef PARLEVO_APP_CHECK_H_
#define PARLEVO_APP_CHECK_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace parlevo {

enum class TFindingSeverity {
  kError,    // the character is refused: nothing else of it can be checked
  kWarning,  // loading passed over it, or an answer does something wrong
  kNote,     // worth knowing, nothing wrong: `check --strict` does not fail on it
};

struct TFinding {
  std::string File;  // native path, as loading reached it
  int Line = 0;      // 1-based; 0 for the whole file
  TFindingSeverity Severity = TFindingSeverity::kWarning;
  std::string Message;  // UTF-8
  // A stable short name of the kind of finding ("too-few-fields"), for
  // programs that act on findings.
  std::string_view Code;
  // The characters of the line concerned, 1-based, EndColumn one past the
  // last; 0 when the finding is about the whole line or file.
  int Column = 0, EndColumn = 0;
  // UTF-8 text that puts it right: it replaces [Column, EndColumn) of the
  // line, or, without columns, the tag the message names.
  std::optional<std::string> Fix;
};

// The severity's name as findings are shown: "error", "warning", "note".
std::string_view SeverityName(TFindingSeverity severity);

struct TSlotCount {
  std::string_view Key;  // the base file key, "data01" .. "datac2"
  int32_t Entries = 0;
  int32_t Markers = 0;
  int32_t Available = 0;
};

// How much a character that loaded holds.
struct TCheckSummary {
  std::string Name;  // UTF-8, the name it shows
  std::vector<TSlotCount> Slots;
  int64_t Entries = 0;
  int64_t Available = 0;
};

struct TCheckReport {
  // Each file's findings together and in line order, files in the order
  // loading reached them; a refusal (kError) is last.
  std::vector<TFinding> Findings;
  std::optional<TCheckSummary> Summary;  // none when the character was refused
};

// Loads the character of `base_file` (a native path) for inspection, with no
// state file, and reports what it finds. A refusal or a file that fails is a
// kError finding after what was found before it.
TCheckReport CheckCharacter(std::string_view base_file);

}  // namespace parlevo

#endif  // PARLEVO_APP_CHECK_H_
