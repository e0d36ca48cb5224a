// The literal set's search. The multi-literal pass reports every occurrence
// in order of where it ends; an occurrence is a match when it starts on a
// character boundary (characters counted from the search's first byte, as
// the automaton's search steps) and stands at a line head / tail when the
// list is anchored. The leftmost start wins, then the longest literal there;
// once the pass is further than the longest literal beyond the best start,
// nothing later can start at or before it, and the pass stops.
#include "regex/literal_set.h"

#include <algorithm>

#include "regex/char_boundaries.h"
#include "regex/search.h"

namespace parlevo {

TbmRELiteralSet::TbmRELiteralSet(TbmRELiteralList list, TbmCharCode code)
    : list_(std::move(list)), code_(code) {}

void TbmRELiteralSet::Prepare() {
  if (prepared_) return;
  for (size_t i = 0; i < list_.size(); ++i) {
    search_.Add(list_[i]);
    longest_ = std::max(longest_, static_cast<int32_t>(list_[i].size()));
  }
  search_.Build();
  prepared_ = true;
}

std::vector<std::string> TbmRELiteralSet::Literals() const {
  std::vector<std::string> out;
  out.reserve(list_.size());
  for (size_t i = 0; i < list_.size(); ++i) out.emplace_back(list_[i]);
  return out;
}

bool TbmRELiteralSet::Occurs(std::string_view text) const {
  bool any = false;
  search_.Scan(text, [&any](int32_t, size_t) {
    any = true;
    return false;
  });
  return any;
}

bool TbmRELiteralSet::Search(std::string_view text, int32_t from, int32_t& pos,
                             int32_t& len) const {
  pos = -1;
  len = 0;
  const auto* t = reinterpret_cast<const uint8_t*>(text.data());
  const auto n = static_cast<int32_t>(text.size());
  if (from < 0 || from > n) return false;
  const std::string_view rest = text.substr(static_cast<size_t>(from));
  const uint8_t* r = t + from;
  thread_local std::vector<uint8_t> marks;  // this thread's, reused by its next search
  TbmRECharBoundaries boundaries(r, rest.size(), bmccLeadByteTable(code_), marks);

  // A line begins at the text's start, after LF, and after a CR that no LF
  // follows; at the search's first byte the character before it decides.
  auto line_head = [&](size_t s) {
    if (s == 0) return TbmREDecoder(code_).LineHeadAt(t, n, from);
    return AtLineHead(r, rest.size(), s, boundaries);
  };

  int64_t best = -1, best_len = 0;
  search_.Scan(rest, [&](int32_t id, size_t end) {
    const int64_t length = search_.Length(id);
    const int64_t start = static_cast<int64_t>(end) - length;
    if (best >= 0) {
      if (static_cast<int64_t>(end) > best + longest_) return false;  // nothing better follows
      if (start > best || (start == best && length <= best_len)) return true;
    }
    const auto s = static_cast<size_t>(start);
    if (!boundaries.Starts(s)) return true;
    if (list_.head && !line_head(s)) return true;
    if (list_.tail && !AtLineTail(r, rest.size(), end)) return true;
    best = start;
    best_len = length;
    return true;
  });
  if (best < 0) return false;
  pos = from + static_cast<int32_t>(best);
  len = static_cast<int32_t>(best_len);
  return true;
}

}  // namespace parlevo
