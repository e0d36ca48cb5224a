// Personality tests: the runner, which speaks through the same turn pipeline
// as a conversation (the reader is test_script_reader.cpp).
#include "app/personality_test.h"

#include <memory>

#include "app/transcript.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/native_path.h"
#include "platform/random.h"
#include "regex/rexp.h"

namespace parlevo {

namespace {

// The script's character and its turns: the last thing it said, spoken on
// demand. Its state file is never written.
class TScriptSession {
 public:
  TScriptSession(const std::string& base_file, const TScriptRun& run)
      : base_file_(base_file), run_(run), partner_(run.Partner) {
    Start(run.ReadState ? TStateUse::kReadOnly : TStateUse::kNone);
  }

  // The character as if new: first meeting, empty memory; it opens again.
  void Fresh() { Start(TStateUse::kNone); }
  void SetPartner(const std::string& name) {
    partner_ = name;
    character_->SetPartner(name);
  }
  void Set(const TScriptStep& step) {
    switch (step.Memory) {
      case TMemoryKind::kMemo:
        character_->SetMemo(step.Slot, step.Text);
        break;
      case TMemoryKind::kCount:
        character_->SetCount(step.Slot, step.Number);
        break;
      case TMemoryKind::kFlag:
        character_->SetFlag(step.Slot, step.Number != 0);
        break;
    }
  }
  void Say(const std::string& text) {
    Open();
    Speak(text, AllSlots);
  }
  // The last answer; the opening when nothing has been said yet.
  const TTurn& Last() {
    Open();
    return last_;
  }
  // `text` with its tags expanded, as an answer's would be (ANSI).
  std::string Expand(const std::string& text) {
    Open();
    return platform::WideToAnsi(character_->ExpandTags(platform::AnsiToWide(text)));
  }

 private:
  void Start(TStateUse state_use) {
    TCharacterOptions options = run_.Character;
    options.StateUse = state_use;
    character_.reset();  // one character at a time
    character_ = std::make_unique<TCharacter>(base_file_, options);
    character_->SetPartner(partner_);
    opened_ = false;
  }
  void Open() {
    if (!opened_) Speak(kOpeningInput, OpeningSlots);
    opened_ = true;
  }
  void Speak(std::string_view input, TDataSlots slots) {
    last_ = SpeakTurn(*character_, input, slots, kDefaultLogFormat);
    last_.Number = ++turns_;
    if (run_.OnTurn) run_.OnTurn(last_);
  }

  const std::string& base_file_;
  const TScriptRun& run_;
  std::string partner_;
  std::unique_ptr<TCharacter> character_;
  TTurn last_;
  int64_t turns_ = 0;
  bool opened_ = false;
};

std::string FromWhere(const TTurn& turn) {
  if (!turn.Source) return "(from none)";
  // Named as an editor opens it; "@ FILE:LINE" still takes the base file's name.
  return "(from " + platform::EditorPath(turn.Source->FilePath) + ":" +
         std::to_string(turn.Source->Line) + ")";
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
      return platform::QuotedUtf8(step.Text);
    case TScriptStep::TKind::kExpectMatch: {
      TbmRExp matcher;
      matcher.SetPattern(step.Text);
      if (matcher.Found(last.Said)) return std::nullopt;
      return "a match of " + platform::QuotedUtf8(step.Text);
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
      case TScriptStep::TKind::kSet:
        session.Set(step);
        break;
      case TScriptStep::TKind::kFresh:
        session.Fresh();
        break;
      case TScriptStep::TKind::kExpectExpanded: {
        ++result.Checks;
        const std::string expanded = session.Expand(step.Text);
        if (expanded != step.Value) {
          result.Failures.push_back({step.Line, "expected " + platform::QuotedUtf8(step.Value) +
                                                    " from " + platform::QuotedUtf8(step.Text) +
                                                    ", got " + platform::QuotedUtf8(expanded)});
        }
        break;
      }
      default: {
        ++result.Checks;
        const TTurn& last = session.Last();
        if (std::optional<std::string> expected = Check(step, last)) {
          result.Failures.push_back({step.Line, "expected " + *expected + ", got " +
                                                    platform::QuotedUtf8(last.Said) + " " +
                                                    FromWhere(last)});
        }
      }
    }
  }
  return result;
}

}  // namespace parlevo
