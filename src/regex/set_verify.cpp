// Candidate verification: the pattern's own one-pass automaton over the text,
// its literal prefilter skipped because the set's search already passed it.
#include "regex/set_verify.h"

#include "regex/rexp.h"

namespace parlevo {

bool VerifyCandidate(TbmRExp& pattern, std::string_view text) {
  try {
    return pattern.FoundPrefiltered(text);
  } catch (const EbmREToken&) {
    return false;
  }
}

}  // namespace parlevo
