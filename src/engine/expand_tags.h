// The budgets of one TCharacter::ExpandTags call, which keep a text whose tags
// produce themselves again (a memo holding "{MEMO01}") finite and small.
//
// The expander scans the text once from left to right. A "{" opens a tag; at
// its "}" the tag function runs and its result replaces the tag and is scanned
// again, so tags inside a result are expanded in their turn. A tag with an
// empty result stays in the text literally at depth 1 and 2 and vanishes
// deeper; a "}" with no open "{" empties the whole result; an unclosed "{" cuts
// the text in front of it. Outer segments are kept in the ANSI form.
//
// When a budget runs out, scanning stops there (a tag being closed is not
// replaced): the result is what it would be were the text to end at that
// point, that is the text in front of the outermost "{" still open, or all
// the text gathered so far when none is open. Effects of the tags already run
// stay made.
#ifndef PARLEVO_ENGINE_EXPAND_TAGS_H_
#define PARLEVO_ENGINE_EXPAND_TAGS_H_

#include <cstddef>
#include <cstdint>

namespace parlevo {

// Tags closed (run or kept literally) in one call. Real answers hold tens.
inline constexpr int kMaxTagsPerExpansion = 4096;
// Length in UTF-16 code units that a replacement may grow the text to.
inline constexpr size_t kMaxWorkLength = 65536;
// Characters scanned, rescanned results included: bounds the time a text
// takes that keeps consuming and reproducing long results.
inline constexpr int64_t kMaxScanSteps = int64_t{1} << 20;

}  // namespace parlevo

#endif  // PARLEVO_ENGINE_EXPAND_TAGS_H_
