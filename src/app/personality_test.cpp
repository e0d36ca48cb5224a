// Personality tests: the script reader (one step per line) and the runner,
// which speaks through the same turn pipeline as a conversation.
#include "app/personality_test.h"

#include <charconv>

#include "app/transcript.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/datetime.h"
#include "platform/random.h"
#include "regex/rexp.h"

namespace parlevo {
namespace {

// ---------------------------------------------------------------------------
// Reading a script
// ---------------------------------------------------------------------------

bool IsBlank(std::string_view line) {
  return line.find_first_not_of(" \t") == std::string_view::npos;
}

// The text after a one-character marker and the one blank that follows it.
std::string_view Argument(std::string_view line) {
  line.remove_prefix(1);
  if (!line.empty() && line.front() == ' ') line.remove_prefix(1);
  return line;
}

TScriptStep SourceStep(std::string_view argument, int line) {
  TScriptStep step{TScriptStep::TKind::kExpectSource, line, {}};
  if (argument == "none") return step;
  const size_t colon = argument.rfind(':');
  int32_t number = 0;
  const char* end = argument.data() + argument.size();
  if (colon == std::string_view::npos || colon == 0 ||
      std::from_chars(argument.data() + colon + 1, end, number).ptr != end || number <= 0) {
    throw ETestScriptError(line, "expected FILE:LINE or none after @");
  }
  step.Text = std::string(argument.substr(0, colon));  // a file name as turns report it
  step.SourceLine = number;
  return step;
}

TScriptStep SettingStep(std::string_view argument, int line) {
  const size_t blank = argument.find(' ');
  const std::string_view name = argument.substr(0, blank);
  const std::string_view value =
      blank == std::string_view::npos ? std::string_view() : argument.substr(blank + 1);
  if (name == "partner") {
    return {TScriptStep::TKind::kPartner, line, platform::Utf8ToAnsi(value)};
  }
  if (name == "clock") {
    const std::optional<double> when = platform::TextToDateTime(std::string(value));
    if (!when) throw ETestScriptError(line, "invalid clock: " + std::string(value));
    TScriptStep step{TScriptStep::TKind::kClock, line, {}};
    step.Clock = *when;
    return step;
  }
  throw ETestScriptError(line, "unknown setting: ! " + std::string(name));
}

TScriptStep PatternStep(std::string_view argument, int line) {
  TScriptStep step{TScriptStep::TKind::kExpectMatch, line, platform::Utf8ToAnsi(argument)};
  try {
    TbmRExp matcher;
    matcher.SetPattern(step.Text);
    matcher.Found(std::string_view());
  } catch (const EbmREToken& e) {
    throw ETestScriptError(line, "pattern does not compile: " + platform::AnsiToUtf8(e.what()));
  }
  return step;
}

}  // namespace

std::vector<TScriptStep> ParseTestScript(std::string_view utf8_text) {
  std::vector<TScriptStep> steps;
  int number = 0;
  while (!utf8_text.empty()) {
    const size_t end = utf8_text.find('\n');
    std::string_view line = utf8_text.substr(0, end);
    utf8_text.remove_prefix(end == std::string_view::npos ? utf8_text.size() : end + 1);
    ++number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (IsBlank(line) || line.front() == '#') continue;
    const std::string_view argument = Argument(line);
    switch (line.front()) {
      case '>':
        steps.push_back({TScriptStep::TKind::kSay, number, platform::Utf8ToAnsi(argument)});
        break;
      case '<':
        steps.push_back({TScriptStep::TKind::kExpectText, number, platform::Utf8ToAnsi(argument)});
        break;
      case '~':
        steps.push_back(PatternStep(argument, number));
        break;
      case '@':
        steps.push_back(SourceStep(argument, number));
        break;
      case '!':
        steps.push_back(SettingStep(argument, number));
        break;
      default:
        throw ETestScriptError(number, "a line of no known kind (# > < ~ @ !)");
    }
  }
  return steps;
}

// ---------------------------------------------------------------------------
// Running a script
// ---------------------------------------------------------------------------

namespace {

TCharacterOptions ReadOnly(TCharacterOptions options) {
  options.StateUse = TStateUse::kReadOnly;
  return options;
}

// The script's turns: the last thing the character said, spoken on demand.
class TScriptSession {
 public:
  TScriptSession(const std::string& base_file, const TScriptRun& run)
      : character_(base_file, ReadOnly(run.Character)), run_(run) {
    SetPartner(run.Partner);
  }

  void SetPartner(const std::string& name) { character_.SetPartner(name); }
  void Say(const std::string& text) {
    Open();
    Speak(text, AllSlots);
  }
  // The last answer; the opening when nothing has been said yet.
  const TTurn& Last() {
    Open();
    return last_;
  }

 private:
  void Open() {
    if (!opened_) Speak(kOpeningInput, OpeningSlots);
    opened_ = true;
  }
  void Speak(std::string_view input, TDataSlots slots) {
    last_ = SpeakTurn(character_, input, slots, kDefaultLogFormat);
    last_.Number = ++turns_;
    if (run_.OnTurn) run_.OnTurn(last_);
  }

  TCharacter character_;
  const TScriptRun& run_;
  TTurn last_;
  int64_t turns_ = 0;
  bool opened_ = false;
};

std::string Quoted(std::string_view ansi) { return "\"" + platform::AnsiToUtf8(ansi) + "\""; }

std::string FromWhere(const TTurn& turn) {
  if (!turn.Source) return "(from none)";
  return "(from " + std::string(turn.Source->File) + ":" + std::to_string(turn.Source->Line) + ")";
}

// Backslashes and slashes both divide folders in a base file's names.
bool SameFile(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const bool divider = (a[i] == '/' || a[i] == '\\') && (b[i] == '/' || b[i] == '\\');
    if (a[i] != b[i] && !divider) return false;
  }
  return true;
}

// What a check expected, or nothing when it holds.
std::optional<std::string> Check(const TScriptStep& step, const TTurn& last) {
  switch (step.Kind) {
    case TScriptStep::TKind::kExpectText:
      if (last.Said == step.Text) return std::nullopt;
      return Quoted(step.Text);
    case TScriptStep::TKind::kExpectMatch: {
      TbmRExp matcher;
      matcher.SetPattern(step.Text);
      if (matcher.Found(last.Said)) return std::nullopt;
      return "a match of " + Quoted(step.Text);
    }
    case TScriptStep::TKind::kExpectSource:
      if (step.SourceLine == 0) {
        if (!last.Source) return std::nullopt;
        return std::string("no answer");
      }
      if (last.Source && last.Source->Line == step.SourceLine &&
          SameFile(last.Source->File, step.Text)) {
        return std::nullopt;
      }
      return "an answer from " + step.Text + ":" + std::to_string(step.SourceLine);
    default:
      return std::nullopt;
  }
}

}  // namespace

TScriptResult RunTestScript(const std::vector<TScriptStep>& steps, const std::string& base_file,
                            const TScriptRun& run) {
  // Every script draws as if it ran alone in a fresh process.
  platform::RestartReseedCount();
  if (run.Clock) platform::FreezeClock(*run.Clock);
  TScriptSession session(base_file, run);
  TScriptResult result;
  for (const TScriptStep& step : steps) {
    switch (step.Kind) {
      case TScriptStep::TKind::kSay:
        session.Say(step.Text);
        break;
      case TScriptStep::TKind::kClock:
        platform::FreezeClock(step.Clock);
        break;
      case TScriptStep::TKind::kPartner:
        session.SetPartner(step.Text);
        break;
      default: {
        ++result.Checks;
        const TTurn& last = session.Last();
        if (std::optional<std::string> expected = Check(step, last)) {
          result.Failures.push_back({step.Line, "expected " + *expected + ", got " +
                                                    Quoted(last.Said) + " " + FromWhere(last)});
        }
      }
    }
  }
  return result;
}

}  // namespace parlevo
