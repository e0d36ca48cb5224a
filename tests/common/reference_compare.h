// The engine against the reference matcher: one search, or one set of
// patterns asked which are found, described when they disagree.
#ifndef PARLEVO_TESTS_COMMON_REFERENCE_COMPARE_H_
#define PARLEVO_TESTS_COMMON_REFERENCE_COMPARE_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "regex/reader.h"

namespace parlevo::reference {

// `TbmRExp::Match(text, from + 1)` and `Found` against the reference from
// byte `from`: empty when they agree or nothing is known (a pattern the
// engine refuses by a size budget, a search over the reference's budget),
// else a description of the case and both answers.
std::string CompareMatch(TbmCharCode code, std::string_view pattern, std::string_view text,
                         int32_t from);

// `TbmRExpSet::Find` over `patterns`, built once, for each of `texts`
// against the reference asked about each pattern; empty when they agree.
std::string CompareSet(TbmCharCode code, const std::vector<std::string>& patterns,
                       const std::vector<std::string>& texts);

// Bytes as text for a failure message: printable ASCII as it is, others as \xHH.
std::string Printable(std::string_view bytes);

}  // namespace parlevo::reference

#endif  // PARLEVO_TESTS_COMMON_REFERENCE_COMPARE_H_
