// The fields of knowledge data entries as their files have them, for tools:
// the objects keep only folded forms, so the lines are read back here.
//
// Thread-safety: none of its own; one thread asks at a time.
#ifndef PARLEVO_DATA_WRITTEN_ENTRIES_H_
#define PARLEVO_DATA_WRITTEN_ENTRIES_H_

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "data/lumo_data.h"
#include "data/text_helpers.h"

namespace parlevo {

// One entry as written (code page text, fields as SplitCommaText gives them).
struct TWrittenEntry {
  std::vector<std::string> Patterns;  // the condition or the patterns; none for kind C
  std::string Answer;
  // Kinds 0, A and B: the whole line, and every field of it with its place
  // (more than the kind uses when an unquoted blank or comma cut the answer).
  std::string Line;
  std::vector<TCommaField> Fields;
};

// Reads each data file back once, on first use, and keeps its lines.
class TWrittenEntries {
 public:
  // Entry `index` of `data` as written; nothing when its line is no longer
  // there as an entry (the file changed since loading). Throws
  // platform::EFileError when the file cannot be read.
  std::optional<TWrittenEntry> Read(const TLumoData& data, int32_t index);

 private:
  struct TFile {
    int FirstLine = 1;  // file line of Lines[0]
    std::vector<std::string> Lines;
  };
  std::map<std::string, TFile, std::less<>> Files_;
};

}  // namespace parlevo

#endif  // PARLEVO_DATA_WRITTEN_ENTRIES_H_
