// Personality tests: a script of what the partner says and what the
// character must answer (text, a pattern, the entry it came from), read from
// a UTF-8 text file and run against a character that writes nothing.
//
// Script lines: "# ..." and blank lines are ignored; "> TEXT" the partner
// says TEXT (">" alone: silence); "< TEXT" the last answer, as shown, equals
// TEXT; "~ PATTERN" it contains a match of PATTERN; "@ FILE:LINE" it came from
// that entry ("@ none": nothing answered); "? TEXT = VALUE" TEXT, its tags
// expanded now, equals VALUE (split at the last " = "); "! clock YYYY/MM/DD
// hh:nn:ss[.zzz]" and "! partner NAME" set the frozen clock and the partner's
// name from there on; "! set SLOT VALUE" stores VALUE in a memory slot named
// as its tag (MEMO05, COUNT50, FLAG50: True or False); "! fresh" starts the
// character again, as if new. The character's opening is said before the
// first check or ">", so "!" lines before them apply before it opens.
#ifndef PARLEVO_APP_PERSONALITY_TEST_H_
#define PARLEVO_APP_PERSONALITY_TEST_H_

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "app/turn.h"

namespace parlevo {

// A script that cannot be run: a line of no known kind, a bad clock, a
// pattern that does not compile, an unreadable file. what(): the reason.
class ETestScriptError : public std::runtime_error {
 public:
  ETestScriptError(int line, const std::string& reason) : std::runtime_error(reason), Line(line) {}
  int Line;  // 0: the file as a whole
};

// The three kinds of memory slot a script can set.
enum class TMemoryKind { kMemo, kCount, kFlag };

struct TScriptStep {
  enum class TKind {
    kSay,
    kExpectText,
    kExpectMatch,
    kExpectSource,
    kExpectExpanded,
    kClock,
    kPartner,
    kSet,
    kFresh
  };
  TKind Kind = TKind::kSay;
  int Line = 0;            // 1-based line of the script
  std::string Text;        // ANSI: what is said, expected, the pattern, a name, a memo, the
                           // text to expand; a file native
  int32_t SourceLine = 0;  // kExpectSource: 0 for "none"
  double Clock = 0;        // kClock
  std::string Value;       // kExpectExpanded: the expected expansion (ANSI)
  TMemoryKind Memory = TMemoryKind::kMemo;  // kSet: the slot (Text holds a memo)
  int Slot = 0;
  double Number = 0;  // kSet of a count or a flag (1 or 0)

  bool IsCheck() const {
    return Kind == TKind::kExpectText || Kind == TKind::kExpectMatch ||
           Kind == TKind::kExpectSource || Kind == TKind::kExpectExpanded;
  }
};

// Parses a script's text (UTF-8, with or without the byte order mark).
// Throws ETestScriptError.
std::vector<TScriptStep> ParseTestScript(std::string_view utf8_text);

// One failed check: "expected ..., got "..." (from FILE:LINE)" (UTF-8).
struct TCheckFailure {
  int Line = 0;
  std::string Message;
};

struct TScriptResult {
  int Checks = 0;
  std::vector<TCheckFailure> Failures;
};

// Options of a run. `Clock` (days since 1899-12-30) freezes the clock at the
// start; `OnTurn` sees every turn the character speaks (coverage);
// `Character` says how the character reports (its state file is never
// written whatever it says); `ReadState` starts from the saved state instead
// of a first meeting.
struct TScriptRun {
  std::optional<double> Clock;
  TCharacterOptions Character;
  bool ReadState = false;
  std::string Partner = "partner";  // ANSI
  std::function<void(const TTurn&)> OnTurn;
};

// Runs `steps` against the character of `base_file` (ANSI path), which never
// writes its state file. Throws what loading throws.
TScriptResult RunTestScript(const std::vector<TScriptStep>& steps, const std::string& base_file,
                            const TScriptRun& run);

}  // namespace parlevo

#endif  // PARLEVO_APP_PERSONALITY_TEST_H_
