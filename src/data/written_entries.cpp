// Entries as written: the line of an entry read back from its file (once per
// file) and split into as many fields as the entry's kind matches with.
#include "data/written_entries.h"

namespace parlevo {
namespace {

// How many fields come before the answer: the condition, or the patterns.
size_t FieldsBeforeAnswer(const TEntryDescription& entry) {
  return (entry.Condition ? 1 : 0) + (entry.ContextPattern ? 1 : 0) + (entry.InputPattern ? 1 : 0);
}

}  // namespace

std::optional<TWrittenEntry> TWrittenEntries::Read(const TLumoData& data, int32_t index) {
  const TEntryDescription entry = data.Describe(index);
  const size_t before = FieldsBeforeAnswer(entry);
  // A free-talk line is its answer, which the object keeps as written.
  if (before == 0) {
    TWrittenEntry written;
    written.Answer = std::string(entry.Answer);
    return written;
  }
  auto it = Files_.find(entry.File);
  if (it == Files_.end()) {
    TFile file;
    file.Lines = ReadDataLines(entry.File, file.FirstLine);
    it = Files_.emplace(std::string(entry.File), std::move(file)).first;
  }
  const TFile& file = it->second;
  const int64_t line = int64_t{entry.Line} - file.FirstLine;
  if (line < 0 || line >= static_cast<int64_t>(file.Lines.size())) return std::nullopt;
  TWrittenEntry written;
  written.Line = file.Lines[static_cast<size_t>(line)];
  written.Fields = SplitCommaFields(written.Line);
  if (written.Fields.size() <= before) return std::nullopt;
  written.Answer = written.Fields[before].Text;
  for (size_t f = 0; f < before; ++f) written.Patterns.push_back(written.Fields[f].Text);
  return written;
}

}  // namespace parlevo
