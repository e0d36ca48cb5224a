// Recording a chat as a test script, line by line, in the script language
// that personality_test reads back.
#include "app/script_recorder.h"

#include <cerrno>

#include "data/text_helpers.h"
#include "platform/codepage.h"
#include "platform/datetime.h"
#include "platform/numbers.h"
#include "platform/textfile.h"

namespace parlevo {
namespace {

constexpr int kFirstKept = 50;

std::string SlotName(const char* kind, int slot) {
  return std::string(kind) + (slot < 10 ? "0" : "") + std::to_string(slot);
}

bool HasLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

}  // namespace

TScriptRecorder::TScriptRecorder(const std::string& path)
    : path_(path), out_(path, std::ios::binary | std::ios::trunc) {
  if (!out_) throw platform::EFileError("cannot create file", path_, errno);
}

void TScriptRecorder::Line(const std::string& utf8) {
  out_ << utf8 << '\n';
  out_.flush();
  if (!out_) throw platform::EFileError("cannot write file", path_, errno);
}

void TScriptRecorder::Begin(const TCharacter& character, std::optional<double> clock,
                            std::string_view partner) {
  Line("# A chat recorded as a test: keep what you liked and delete the rest.");
  for (int slot = kFirstKept; slot < TCharacter::kMemorySlots; ++slot) {
    // A memo read from a state file is one line; one that is not cannot be
    // written on a script line.
    const std::string& memo = character.Memo(slot);
    if (!memo.empty() && !HasLineBreak(memo)) {
      Line("! set " + SlotName("MEMO", slot) + " " + platform::AnsiToUtf8(memo));
    }
    if (character.Count(slot) != 0) {
      Line("! set " + SlotName("COUNT", slot) + " " + platform::FloatToText(character.Count(slot)));
    }
    if (character.Flag(slot)) Line("! set " + SlotName("FLAG", slot) + " " + BoolToText(true));
  }
  if (clock) Line("! clock " + platform::FormatDateTime("yyyy/mm/dd hh:nn:ss.zzz", *clock));
  Line("! partner " + platform::AnsiToUtf8(partner));
}

void TScriptRecorder::Heard(std::string_view said) {
  Line(said.empty() ? ">" : "> " + platform::AnsiToUtf8(said));
}

void TScriptRecorder::Answered(const TTurn& turn) {
  // A script line cannot hold a line break: such an answer is checked by
  // its source alone.
  if (HasLineBreak(turn.Said)) {
    Line("# the answer spans several lines; its source is checked");
  } else {
    Line(turn.Said.empty() ? "<" : "< " + platform::AnsiToUtf8(turn.Said));
  }
  if (!turn.Source) {
    Line("@ none");
  } else {
    Line("@ " + turn.Source->File + ":" + std::to_string(turn.Source->Line));
  }
}

}  // namespace parlevo
