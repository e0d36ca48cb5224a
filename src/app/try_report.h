// What `try` reports: the entries of each data object that match an input,
// tier by tier, with their fields as written, and which object would answer.
#ifndef PARLEVO_APP_TRY_REPORT_H_
#define PARLEVO_APP_TRY_REPORT_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace parlevo {

class TCharacter;

// One matching entry. Texts are UTF-8.
struct TTryMatch {
  std::string_view Key;  // the base file key of its slot, "data01" ...
  std::string File;      // as shown: relative to the data folder when it lies there
  std::string Path;      // native, as loading reached it
  int Line = 0;          // 1-based
  int32_t Tier = 0;      // 1-based
  std::string Written;   // "PATTERN → ANSWER", fields as written ("?" when gone)
};

// A free-talk object whose entries are not listed one by one: free talk
// matches any input, so its candidates are all the first tier has left.
struct TTryObject {
  std::string_view Key;  // "datac1", "datac2"
  int32_t Tier = 0;      // 1-based
  int32_t Candidates = 0;
};

struct TTryReport {
  std::vector<TTryMatch> Matches;    // slot by slot, tier by tier, in entry order
  std::vector<TTryObject> FreeTalk;  // when free talk is not listed entry by entry
  std::string Answerer;              // "none", "data02 tier 1, 3 candidates", ...
};

// Explains `input` (UTF-8, what the partner says) to `character`; `context`
// (UTF-8) stands for its previous answer for kind A when given. Free talk is
// listed entry by entry with `list_free_talk`, else one TTryObject per object.
// The explanation's caveats hold (engine/explain.h): nothing is said or used up.
TTryReport TryInput(TCharacter& character, std::string_view input,
                    const std::optional<std::string>& context, bool list_free_talk = true);

// "KEY FILE:LINE tier T  PATTERN → ANSWER", a match as `try` prints it (FILE
// as an editor here opens it).
std::string TryMatchLine(const TTryMatch& match);
// "KEY tier T: N candidates (free talk)", an object as `try` prints it.
std::string TryObjectLine(const TTryObject& object);

}  // namespace parlevo

#endif  // PARLEVO_APP_TRY_REPORT_H_
