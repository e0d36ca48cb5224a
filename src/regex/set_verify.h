// Candidate verification for the set matcher: a candidate pattern asked
// about the whole text.
#ifndef PARLEVO_REGEX_SET_VERIFY_H_
#define PARLEVO_REGEX_SET_VERIFY_H_

#include <string_view>

namespace parlevo {

class TbmRExp;

// The pattern's answer for a text that holds one of its literals (or for
// any text, when it has none); a pattern that does not compile, or whose
// automaton is refused, is never found.
bool VerifyCandidate(TbmRExp& pattern, std::string_view text);

}  // namespace parlevo

#endif  // PARLEVO_REGEX_SET_VERIFY_H_
