// Token standardisation: one pass over the token list that gathers every
// character, range, '.' and anchor, and rewrites each negated bracket
// expression "[^...]" as an ordinary one whose members are the complement
// (within 0..0xFFFF, never CR or LF); then the partition of character values
// is built from all of them at once, in n log n for n ranges.
#include <stdexcept>
#include <utility>
#include <vector>

#include "regex/ranges.h"
#include "regex/scanner.h"

namespace parlevo {

void TbmRETokens::Standardize(TbmREWchRanges& partition) {
  partition.ClearRanges();
  if (tokens_.empty()) throw std::runtime_error("TbmRETokens.Standardize Internal Error(1)");
  std::vector<TbmREToken> in;
  in.swap(tokens_);
  tokens_.reserve(in.size());
  std::vector<TbmREWchRange> ranges;  // what the partition must refine
  ranges.reserve(in.size());
  bool any_but_newline = false;
  for (size_t i = 0; i < in.size(); ++i) {
    TbmREToken& t = in[i];
    tokens_.push_back(t);
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
      case tkNegLBracket: {
        TbmREToken open = t;
        tokens_.back().Kind = tkLBracket;
        if (++i >= in.size()) throw std::runtime_error("TbmRETokens.Standardize Internal Error(2)");
        int32_t s = in[i].StartPos;
        std::vector<TbmREWchRange> members = {{'\n', '\n'}, {'\r', '\r'}};
        while (in[i].Kind != tkRBracket) {
          members.push_back({in[i].Lo, in[i].Hi});
          if (++i >= in.size()) {
            throw std::runtime_error("TbmRETokens.Standardize Internal Error(3)");
          }
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
        break;
      }
      default:
        break;
    }
  }
  if (any_but_newline) {
    ranges.push_back({0, 9});
    ranges.push_back({11, 12});
    ranges.push_back({14, 0xFFFF});
  }
  partition.AddRangesAtOnce(std::move(ranges));
}

}  // namespace parlevo
