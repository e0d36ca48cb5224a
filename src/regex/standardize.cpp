// Token standardisation: one pass over the token list that gathers every
// character, range, '.' and anchor, and rewrites each negated bracket
// expression "[^...]" as an ordinary one whose members are the complement
// (within 0..0xFFFF, never CR or LF); then the partition of character values
// is built from all of them at once, in n log n for n ranges. A list with no
// negated bracket expression stays where it is.
#include <algorithm>
#include <stdexcept>
#include <utility>
#include <vector>

#include "regex/ranges.h"
#include "regex/scanner.h"

namespace parlevo {

namespace {

// What the partition must refine for token `t` (not a negated bracket).
void AddRangeOf(const TbmREToken& t, std::vector<TbmREWchRange>& ranges, bool& any_but_newline) {
  switch (t.Kind) {
    case tkChar:
    case tkCharClass:
      ranges.push_back({t.Lo, t.Hi});
      break;
    case tkDot:
      any_but_newline = true;
      break;
    case tkLineHead:
      ranges.push_back({'^', '^'});
      break;  // may fall back to a literal
    case tkLineTail:
      ranges.push_back({'$', '$'});
      break;
    default:
      break;
  }
}

}  // namespace

// The negated bracket expression opening at in[i], its members spelt out
// into tokens_ and `ranges`; i ends on its closing bracket.
void TbmRETokens::SpellOutNegated(const std::vector<TbmREToken>& in, size_t& i,
                                  std::vector<TbmREWchRange>& ranges) {
  TbmREToken open = in[i];
  tokens_.push_back(in[i]);
  tokens_.back().Kind = tkLBracket;
  if (++i >= in.size()) throw std::runtime_error("TbmRETokens.Standardize Internal Error(2)");
  int32_t s = in[i].StartPos;
  std::vector<TbmREWchRange> members = {{'\n', '\n'}, {'\r', '\r'}};
  while (in[i].Kind != tkRBracket) {
    members.push_back({in[i].Lo, in[i].Hi});
    if (++i >= in.size()) throw std::runtime_error("TbmRETokens.Standardize Internal Error(3)");
  }
  TbmREWchRanges excluded;
  excluded.AddRangesAtOnce(UniteRanges(std::move(members)));
  excluded.Negate(0, 0xFFFF);
  // Members covering every value leave nothing a character could match:
  // refused rather than handed on as an empty bracket expression.
  if (excluded.empty()) {
    open.Kind = tkErrInvalidCharClass;
    open.EndPos = in[i].EndPos;
    throw EbmREToken(open);
  }
  ranges.insert(ranges.end(), excluded.Records().begin(), excluded.Records().end());
  int32_t e = in[i].StartPos;
  for (const auto& r : excluded.Records()) {
    tokens_.push_back({r.Lo == r.Hi ? tkChar : tkCharClass, r.Lo, r.Hi, s, e});
  }
  tokens_.push_back(in[i]);
}

void TbmRETokens::StandardizeTokens(TbmREWchRanges* partition) {
  if (partition) partition->ClearRanges();
  if (tokens_.empty()) throw std::runtime_error("TbmRETokens.Standardize Internal Error(1)");
  std::vector<TbmREWchRange> ranges;  // what the partition must refine
  if (partition) ranges.reserve(tokens_.size());
  bool any_but_newline = false;
  auto negated = [](const TbmREToken& t) { return t.Kind == tkNegLBracket; };
  if (std::none_of(tokens_.begin(), tokens_.end(), negated)) {
    if (!partition) return;
    for (const TbmREToken& t : tokens_) AddRangeOf(t, ranges, any_but_newline);
  } else {
    std::vector<TbmREToken> in;
    in.swap(tokens_);
    tokens_.reserve(in.size());
    for (size_t i = 0; i < in.size(); ++i) {
      if (in[i].Kind == tkNegLBracket) {
        SpellOutNegated(in, i, ranges);
      } else {
        tokens_.push_back(in[i]);
        AddRangeOf(in[i], ranges, any_but_newline);
      }
    }
    if (!partition) return;
  }
  if (any_but_newline) {
    ranges.push_back({0, 9});
    ranges.push_back({11, 12});
    ranges.push_back({14, 0xFFFF});
  }
  partition->AddRangesAtOnce(std::move(ranges));
}

}  // namespace parlevo
