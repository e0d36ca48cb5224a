// Reading a personality test script: one step per line, each line's kind
// told by its first character; a line that cannot be read names itself.
#include <charconv>
#include <cmath>

#include "app/personality_test.h"
#include "engine/memo_line.h"
#include "platform/codepage.h"
#include "platform/datetime.h"
#include "platform/numbers.h"
#include "regex/rexp.h"

namespace parlevo {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

TScriptStep MakeStep(TScriptStep::TKind kind, int line, std::string text) {
  TScriptStep step;
  step.Kind = kind;
  step.Line = line;
  step.Text = std::move(text);
  return step;
}

bool IsBlank(std::string_view line) {
  return line.find_first_not_of(" \t") == std::string_view::npos;
}

// The text after a one-character marker and the one blank that follows it.
std::string_view Argument(std::string_view line) {
  line.remove_prefix(1);
  if (!line.empty() && line.front() == ' ') line.remove_prefix(1);
  return line;
}

// `text` up to the first blank, and what follows that blank.
std::pair<std::string_view, std::string_view> FirstWord(std::string_view text) {
  const size_t blank = text.find(' ');
  if (blank == std::string_view::npos) return {text, {}};
  return {text.substr(0, blank), text.substr(blank + 1)};
}

TScriptStep SourceStep(std::string_view argument, int line) {
  TScriptStep step = MakeStep(TScriptStep::TKind::kExpectSource, line, {});
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

bool SameLetters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) != b[i]) return false;
  }
  return true;
}

// "MEMO05", "COUNT50", "FLAG50" (any case): the kind and the slot, 00-99.
bool ReadSlotName(std::string_view name, TScriptStep& step) {
  static constexpr std::pair<std::string_view, TMemoryKind> kKinds[] = {
      {"MEMO", TMemoryKind::kMemo}, {"COUNT", TMemoryKind::kCount}, {"FLAG", TMemoryKind::kFlag}};
  for (const auto& [prefix, kind] : kKinds) {
    if (name.size() != prefix.size() + 2 || !SameLetters(name.substr(0, prefix.size()), prefix)) {
      continue;
    }
    const char tens = name[prefix.size()];
    const char ones = name[prefix.size() + 1];
    if (!std::isdigit(static_cast<unsigned char>(tens)) ||
        !std::isdigit(static_cast<unsigned char>(ones))) {
      return false;
    }
    step.Memory = kind;
    step.Slot = (tens - '0') * 10 + (ones - '0');
    return true;
  }
  return false;
}

// "! set SLOT VALUE": a memo takes the rest of the line as it is.
TScriptStep SetStep(std::string_view argument, int line) {
  const auto [name, value] = FirstWord(argument);
  TScriptStep step = MakeStep(TScriptStep::TKind::kSet, line, {});
  if (!ReadSlotName(name, step)) {
    throw ETestScriptError(
        line, "expected MEMOnn, COUNTnn or FLAGnn after ! set, got \"" + std::string(name) + "\"");
  }
  switch (step.Memory) {
    case TMemoryKind::kMemo:
      step.Text = platform::Utf8ToAnsi(value);
      if (MemoLineLength(step.Text) > kMaxMemoBytes) throw ETestScriptError(line, "memo too long");
      break;
    case TMemoryKind::kCount: {
      const std::optional<double> number = platform::TextToFloat(value);
      if (!number || !std::isfinite(*number)) {
        throw ETestScriptError(line, "a count must be a number: " + std::string(value));
      }
      step.Number = *number;
      break;
    }
    case TMemoryKind::kFlag:
      if (!SameLetters(value, "TRUE") && !SameLetters(value, "FALSE")) {
        throw ETestScriptError(line, "a flag must be True or False: " + std::string(value));
      }
      step.Number = SameLetters(value, "TRUE") ? 1 : 0;
      break;
  }
  return step;
}

TScriptStep SettingStep(std::string_view argument, int line) {
  const auto [name, value] = FirstWord(argument);
  if (name == "partner") {
    return MakeStep(TScriptStep::TKind::kPartner, line, platform::Utf8ToAnsi(value));
  }
  if (name == "clock") {
    const std::optional<double> when = platform::TextToDateTime(std::string(value));
    if (!when) throw ETestScriptError(line, "invalid clock: " + std::string(value));
    TScriptStep step = MakeStep(TScriptStep::TKind::kClock, line, {});
    step.Clock = *when;
    return step;
  }
  if (name == "set") return SetStep(value, line);
  if (name == "fresh" && IsBlank(value)) return MakeStep(TScriptStep::TKind::kFresh, line, {});
  throw ETestScriptError(line, "unknown setting: ! " + std::string(name));
}

TScriptStep PatternStep(std::string_view argument, int line) {
  TScriptStep step =
      MakeStep(TScriptStep::TKind::kExpectMatch, line, platform::Utf8ToAnsi(argument));
  try {
    TbmRExp matcher;
    matcher.SetPattern(step.Text);
    matcher.Found(std::string_view());
  } catch (const EbmREToken& e) {
    throw ETestScriptError(line, "pattern does not compile: " + platform::AnsiToUtf8(e.what()));
  }
  return step;
}

// "? TEXT = VALUE", split at the last " = " so TEXT may hold one.
TScriptStep ExpandedStep(std::string_view argument, int line) {
  const size_t equals = argument.rfind(" = ");
  if (equals == std::string_view::npos)
    throw ETestScriptError(line, "expected TEXT = VALUE after ?");
  TScriptStep step = MakeStep(TScriptStep::TKind::kExpectExpanded, line,
                              platform::Utf8ToAnsi(argument.substr(0, equals)));
  step.Value = platform::Utf8ToAnsi(argument.substr(equals + 3));
  return step;
}

TScriptStep ReadStep(std::string_view line, int number) {
  const std::string_view argument = Argument(line);
  switch (line.front()) {
    case '>':
      return MakeStep(TScriptStep::TKind::kSay, number, platform::Utf8ToAnsi(argument));
    case '<':
      return MakeStep(TScriptStep::TKind::kExpectText, number, platform::Utf8ToAnsi(argument));
    case '~':
      return PatternStep(argument, number);
    case '@':
      return SourceStep(argument, number);
    case '?':
      return ExpandedStep(argument, number);
    case '!':
      return SettingStep(argument, number);
    default:
      throw ETestScriptError(number, "a line of no known kind (# > < ~ @ ? !)");
  }
}

}  // namespace

std::vector<TScriptStep> ParseTestScript(std::string_view utf8_text) {
  if (utf8_text.starts_with(kByteOrderMark)) utf8_text.remove_prefix(kByteOrderMark.size());
  std::vector<TScriptStep> steps;
  int number = 0;
  while (!utf8_text.empty()) {
    const size_t end = utf8_text.find('\n');
    std::string_view line = utf8_text.substr(0, end);
    utf8_text.remove_prefix(end == std::string_view::npos ? utf8_text.size() : end + 1);
    ++number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (IsBlank(line) || line.front() == '#') continue;
    steps.push_back(ReadStep(line, number));
  }
  return steps;
}

}  // namespace parlevo
