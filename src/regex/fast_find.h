// The quick answers of a compiled pattern:
// - a literal prefilter: byte strings of which every match must contain one
//   (literal_analysis), checked against the thread's text summary first
//   (text_summary);
// - for a pattern that is only a small set of literal strings (no anchors),
//   the whole search: the leftmost, longest literal starting on a character
//   boundary; for a longer list of them (a word list, anchored or not) the
//   same answer from one multi-literal pass (literal_set);
// - otherwise an unanchored automaton that answers "found anywhere?" in one
//   pass over the text, stopping at the first accepting point (unanchored).
#ifndef PARLEVO_REGEX_FAST_FIND_H_
#define PARLEVO_REGEX_FAST_FIND_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "regex/literal_list.h"
#include "regex/literal_set.h"
#include "regex/packed_strings.h"
#include "regex/reader.h"
#include "regex/text_summary.h"  // TbmRESameText, for the callers of the quick answers

namespace parlevo {

class TbmREDFATable;
class TbmRETree;
class TbmREUnanchoredDFA;

// Immutable once built. Thread safety: const methods may run on several
// threads at once (each thread keeps its own summary of the last text).
class TbmREFastFind {
 public:
  // Nothing known yet: no prefilter, no automaton (Found answers -1).
  explicit TbmREFastFind(TbmCharCode code = bmccShiftJIS);
  // From the parse tree: the prefilter, and literal-only when it applies.
  TbmREFastFind(const TbmRETree& tree, TbmCharCode code);
  // A pattern that is a list of literal strings (ReadLiteralList) needs no
  // parse tree: a few of them are searched one by one, a longer list (also
  // with anchors) as a literal set. False for a few literals with anchors or
  // longer than a prefilter keeps (`out` is then left alone).
  static bool FromLiteralList(TbmRELiteralList list, TbmCharCode code, TbmREFastFind& out);
  ~TbmREFastFind();
  TbmREFastFind(const TbmREFastFind&) = delete;
  TbmREFastFind& operator=(const TbmREFastFind&) = delete;
  TbmREFastFind(TbmREFastFind&&) noexcept;
  TbmREFastFind& operator=(TbmREFastFind&&) noexcept;

  // True when the literals are everything the pattern matches; then
  // LiteralSearch answers every question and no automaton is needed (once
  // PrepareSearch made a literal set's pass).
  bool LiteralOnly() const { return literal_only_; }
  void PrepareSearch();
  bool SearchReady() const { return literal_only_ && (!set_ || set_->Prepared()); }
  // Adds the unanchored automaton of `dfa` (see unanchored.h).
  void BuildAutomaton(const TbmREDFATable& dfa);

  // False only when no match can exist in `text` (a necessary condition).
  bool MayMatch(std::string_view text) const;
  // 1 found, 0 not found, -1 when only the full search can tell.
  int Found(std::string_view text) const;
  // The same for a text known to pass the prefilter (MayMatch): skips it.
  int FoundPrefiltered(std::string_view text) const;
  // The pattern matches at the very start of any text.
  bool Always() const { return always_; }
  // A pattern that is its literals with a "^" before each and/or a "$"
  // after each, and nothing else: a match is a literal starting on a
  // character boundary at a line head (HeadAnchored) and/or ending at a line
  // tail (TailAnchored).
  bool ExactAnchored() const { return exact_anchored_; }
  bool HeadAnchored() const { return exact_head_; }
  bool TailAnchored() const { return exact_tail_; }
  // For LiteralOnly patterns: the leftmost, longest match at or after byte
  // `from`, starts counted in whole characters from `from`.
  bool LiteralSearch(std::string_view text, int32_t from, int32_t& pos, int32_t& len) const;

  // The prefilter's literals (empty: no prefilter), for tests and tuning.
  std::vector<std::string> Literals() const;
  // A second set of strings of which every match also contains one (empty:
  // none known); for the set matcher, which asks a text for one of each.
  std::vector<std::string> AlsoLiterals() const { return also_.ToVector(); }

 private:
  void SetLiterals(const std::vector<std::string>& literals);
  bool Aligned(const uint8_t* t, int32_t from, int32_t p) const;
  bool ProbesRuleOut(const TbmRETextSummary& summary) const;
  int32_t FindAligned(std::string_view text, int32_t from, std::string_view needle) const;

  // Hot fields first: most questions are answered from these alone.
  bool literal_only_ = false;
  bool always_ = false;  // the pattern matches at the very start
  bool exact_anchored_ = false, exact_head_ = false, exact_tail_ = false;
  // Up to kMaxProbes needles as two of their byte pairs each, so that a text
  // summary rules most patterns out without reading the needles; 0 when
  // there are more needles or a one-byte one.
  static constexpr int kMaxProbes = 4;
  uint8_t num_probes_ = 0;
  uint16_t probes_[kMaxProbes][2] = {};
  TbmCharCode code_;
  const bool* is_lead_;         // the lead-byte table of the code (static)
  TbmREPackedStrings needles_;  // each tagged with the offset of the byte searched for first
  TbmREPackedStrings also_;
  std::unique_ptr<TbmREUnanchoredDFA> automaton_;
  std::unique_ptr<TbmRELiteralSet> set_;  // a list of more than kMaxLiterals literals
};

}  // namespace parlevo

#endif  // PARLEVO_REGEX_FAST_FIND_H_
