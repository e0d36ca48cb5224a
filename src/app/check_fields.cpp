// Finding answers cut short by their own blanks and commas: each entry's line
// is split again, as loading split it, to see where its answer field ended.
#include "app/check_fields.h"

#include <string>

#include "data/lumo_data.h"
#include "data/text_helpers.h"
#include "data/written_entries.h"
#include "engine/character.h"
#include "platform/codepage.h"

namespace parlevo {
namespace {

// Fields a line of the kind uses, the answer last; 0 for free talk.
size_t FieldsUsed(TLumoKind kind) {
  switch (kind) {
    case TLumoKind::k0:
    case TLumoKind::kB:
      return 2;
    case TLumoKind::kA:
      return 3;
    default:
      return 0;
  }
}

// `text` in double quotes, its quotes doubled, as comma text reads it back.
std::string Quoted(std::string_view text) {
  std::string quoted = "\"";
  for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

// True when "{" and "}" pair up in `field` (ANSI, stepped by character: a
// trail byte may look like a brace).
bool BracesPair(std::string_view field) {
  int depth = 0;
  for (size_t i = 0; i < field.size(); i += platform::CharLengthAt(field, i)) {
    if (field[i] == '{') ++depth;
    if (field[i] == '}' && --depth < 0) return false;
  }
  return depth == 0;
}

// True when the fields before the answer look whole: each ended at a comma
// and no tag in them was cut open. Then the answer is what a blank or comma
// cut short, and quoting it is the fix.
bool AnswerWasCut(std::string_view line, const std::vector<TCommaField>& fields, size_t used) {
  for (size_t f = 0; f + 1 < used; ++f) {
    const std::string_view between =
        line.substr(fields[f].End, fields[f + 1].Begin - fields[f].End);
    if (between.find(',') == std::string_view::npos) return false;
    if (!BracesPair(line.substr(fields[f].Begin, fields[f].End - fields[f].Begin))) return false;
  }
  return true;
}

// The fields as they were read, quoted and joined by " | ".
std::string FieldsRead(const std::vector<TCommaField>& fields) {
  std::string read;
  for (const TCommaField& field : fields)
    read += (read.empty() ? "" : " | ") + platform::QuotedUtf8(field.Text);
  return read;
}

// The finding for `line` when it holds more than `used` fields.
std::optional<TFinding> ExtraFields(const TEntryDescription& entry, std::string_view line,
                                    const std::vector<TCommaField>& fields, size_t used) {
  if (fields.size() <= used) return std::nullopt;
  const TCommaField& answer = fields[used - 1];
  const size_t end = fields.back().End;
  const std::string_view dropped = line.substr(fields[used].Begin, end - fields[used].Begin);
  TFinding finding;
  finding.File = std::string(entry.File);
  finding.Line = entry.Line;
  finding.Code = "too-many-fields";
  finding.Column = 1;
  finding.EndColumn = ColumnAt(line, line.size());
  if (!AnswerWasCut(line, fields, used)) {
    // An earlier field was cut (a pattern or condition with a blank): which
    // one to quote is the author's to say.
    finding.Message = "a blank or comma outside quotes ends a field: read as " +
                      FieldsRead(fields) + ", of which the line uses " + std::to_string(used) +
                      ", so " + platform::QuotedUtf8(dropped) +
                      " is dropped; quote the field that holds it";
    return finding;
  }
  const std::string fixed = std::string(line.substr(0, answer.Begin)) +
                            Quoted(line.substr(answer.Begin, end - answer.Begin)) +
                            std::string(line.substr(end));
  finding.Message = "the answer ends at " + platform::QuotedUtf8(answer.Text) + ", so " +
                    platform::QuotedUtf8(dropped) +
                    " is dropped; quoted, the answer keeps it: " + platform::AnsiToUtf8(fixed);
  finding.Fix = platform::AnsiToUtf8(fixed);
  return finding;
}

}  // namespace

int ColumnAt(std::string_view line, size_t at) {
  int column = 1;
  for (size_t i = 0; i < at && i < line.size(); i += platform::CharLengthAt(line, i)) ++column;
  return column;
}

std::optional<int> FieldColumn(std::string_view line, const TCommaField& field) {
  if (field.Begin >= line.size() || line[field.Begin] != '"') return ColumnAt(line, field.Begin);
  const std::string_view inside = line.substr(field.Begin + 1, field.End - field.Begin - 1);
  if (inside.find("\"\"") != std::string_view::npos) return std::nullopt;
  return ColumnAt(line, field.Begin + 1);
}

void CheckExtraFields(const TCharacter& character, TWrittenEntries& written,
                      std::vector<TFinding>& findings) {
  for (int i = 0; i < TCharacter::kSlotCount; ++i) {
    const TLumoData& slot = character.Slot(i);
    const size_t used = FieldsUsed(slot.Kind());
    if (used == 0) continue;
    for (int32_t e = 0; e < slot.EntryCount(); ++e) {
      const TEntryDescription entry = slot.Describe(e);
      if (entry.Marker) continue;
      const std::optional<TWrittenEntry> line = written.Read(slot, e);
      if (!line) continue;
      if (auto finding = ExtraFields(entry, line->Line, line->Fields, used)) {
        findings.push_back(std::move(*finding));
      }
    }
  }
}

}  // namespace parlevo
