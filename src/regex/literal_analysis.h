// The literal analysis of a parse tree: byte strings of which every match of
// the pattern contains one, and whether they are all that it matches.
#ifndef PARLEVO_REGEX_LITERAL_ANALYSIS_H_
#define PARLEVO_REGEX_LITERAL_ANALYSIS_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "regex/reader.h"

namespace parlevo {

class TbmRETree;

// At most this many alternative literals are kept for the prefilter; a
// pattern that is a list of more literals is searched as a literal set.
inline constexpr size_t kMaxLiterals = 16;
// Longer literals are cut (a prefix of a required string is required too).
inline constexpr size_t kMaxLiteralBytes = 64;
// Parse trees larger than this get no analysis (it holds a few literals per
// node, so its memory grows with the tree).
inline constexpr int32_t kMaxLiteralAnalysisNodes = 20'000;

// What the analysis learns about a pattern.
struct TbmRERequiredLiterals {
  // Every match contains one of these (empty: none known).
  std::vector<std::string> strings;
  // `strings` are every string the pattern matches; then each stands right
  // after a line head when `head` ("^" before each), right before a line
  // tail when `tail` ("$" after each).
  bool exact = false;
  bool head = false, tail = false;
  // Not exact: a second set of which every match also contains one (empty:
  // none known), so that a text must hold one of each.
  std::vector<std::string> also;
};

// The analysis of a built tree for texts in `code`; nothing known for a
// tree beyond kMaxLiteralAnalysisNodes.
TbmRERequiredLiterals AnalyzeLiterals(const TbmRETree& tree, TbmCharCode code);

// Cuts each string to its first `max_bytes` bytes, then sorts them and
// keeps each once.
void CutLiterals(std::vector<std::string>& strings, size_t max_bytes);

}  // namespace parlevo

#endif  // PARLEVO_REGEX_LITERAL_ANALYSIS_H_
