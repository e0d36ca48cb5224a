// The turn pipeline shared by the conversation thread, the CLI's chat, the
// personality tests and coverage: talk, expand, strip, convert, format.
#include "app/turn.h"

#include "app/transcript.h"
#include "platform/codepage.h"
#include "regex/rexp.h"

namespace parlevo {

std::optional<TTurnSource> LastSource(const TCharacter& character) {
  const TAnswerSource& last = character.LastSource();
  if (last.Slot < 0) return std::nullopt;
  const TLumoData& data = character.Slot(last.Slot);
  const TEntryDescription entry = data.Describe(last.Pick.Entry);
  TTurnSource source;
  source.Slot = last.Slot;
  source.SlotKey = TCharacter::DataKey(last.Slot);
  source.Kind = entry.Kind;
  source.FilePath = entry.File;
  source.File = character.DataFileName(last.Slot, entry.FileIndex);
  source.Line = entry.Line;
  source.Entry = last.Pick.Entry;
  source.Tier = last.Pick.Tier;
  source.Tiers = data.TierCount();
  source.Candidates = last.Pick.Candidates;
  source.Condition = entry.Condition.value_or(std::string_view());
  if (entry.InputPattern != nullptr) source.Pattern = entry.InputPattern->Pattern();
  if (entry.ContextPattern != nullptr) source.ContextPattern = entry.ContextPattern->Pattern();
  return source;
}

TTurn SpeakTurn(TCharacter& speaker, std::string_view heard, TDataSlots slots,
                std::string_view log_format) {
  // Into UTF-16 for Talk and the tag language, and back: the ANSI form is
  // both what is shown and what the next speaker hears.
  const std::u16string answer = speaker.Talk(platform::AnsiToWide(heard), slots);
  TTurn turn;
  turn.Source = LastSource(speaker);
  turn.Said = platform::WideToAnsi(StripBraces(speaker.ExpandTags(answer)));
  turn.Name = speaker.DisplayName();
  turn.Line = FormatLine(log_format, turn.Name, turn.Said);
  return turn;
}

TTurn HeardTurn(std::string_view name, std::string_view said, std::string_view log_format) {
  TTurn turn;
  turn.Name = std::string(name);
  turn.Said = std::string(said);
  turn.Line = FormatLine(log_format, name, said);
  return turn;
}

}  // namespace parlevo
