// Entries as written: the line of an entry read back from its file (once per
// file) and split into as many fields as the entry's kind matches with.
#include "data/written_entries.h"

#include "data/text_helpers.h"

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
  if (before == 0) return TWrittenEntry{{}, std::string(entry.Answer)};
  auto it = Files_.find(entry.File);
  if (it == Files_.end()) {
    TFile file;
    file.Lines = ReadDataLines(entry.File, file.FirstLine);
    it = Files_.emplace(std::string(entry.File), std::move(file)).first;
  }
  const TFile& file = it->second;
  const int64_t line = int64_t{entry.Line} - file.FirstLine;
  if (line < 0 || line >= static_cast<int64_t>(file.Lines.size())) return std::nullopt;
  std::vector<std::string> fields = SplitCommaText(file.Lines[static_cast<size_t>(line)]);
  if (fields.size() <= before) return std::nullopt;
  TWrittenEntry written;
  written.Answer = std::move(fields[before]);
  fields.resize(before);
  written.Patterns = std::move(fields);
  return written;
}

}  // namespace parlevo
