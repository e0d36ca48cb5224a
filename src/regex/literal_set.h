// The search of a pattern that is a long list of literal strings: all of
// them in one multi-literal pass, the leftmost start winning, then the
// longest literal there, each starting on a character boundary.
#ifndef PARLEVO_REGEX_LITERAL_SET_H_
#define PARLEVO_REGEX_LITERAL_SET_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "regex/literal_list.h"
#include "regex/literal_search.h"
#include "regex/reader.h"

namespace parlevo {

// Holds the literals from the start; the multi-literal automaton is made by
// Prepare (the first search needs it), so a list that is only analysed (a
// set matcher's pattern) costs its literals alone.
//
// Thread safety: Prepare runs before the object is shared; the const
// searches may then run on several threads at once.
class TbmRELiteralSet {
 public:
  TbmRELiteralSet(TbmRELiteralList list, TbmCharCode code);

  void Prepare();
  bool Prepared() const { return prepared_; }

  std::vector<std::string> Literals() const;

  // The leftmost, longest match at or after byte `from` (characters counted
  // from `from`), honouring the anchors; false when none. Prepared only.
  bool Search(std::string_view text, int32_t from, int32_t& pos, int32_t& len) const;
  // True when one of the literals occurs anywhere in `text`, aligned or not
  // (a necessary condition for a match). Prepared only.
  bool Occurs(std::string_view text) const;

 private:
  TbmRELiteralList list_;
  TbmCharCode code_;
  bool prepared_ = false;
  int32_t longest_ = 0;  // bytes of the longest literal
  TbmRELiteralSearch search_;
};

}  // namespace parlevo

#endif  // PARLEVO_REGEX_LITERAL_SET_H_
