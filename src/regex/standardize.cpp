// Token standardisation: one pass over the token list that builds the
// partition of character values from every character, range, '.' and anchor,
// and rewrites each negated bracket expression "[^...]" as an ordinary one
// whose members are the complement (within 0..0xFFFF, never CR or LF).
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
  for (size_t i = 0; i < in.size(); ++i) {
    TbmREToken& t = in[i];
    tokens_.push_back(t);
    switch (t.Kind) {
      case tkChar:
      case tkCharClass:
        partition.AddRange(t.Lo, t.Hi);
        break;
      case tkDot:
        partition.AddAnyButNewline();
        break;
      case tkLineHead:
        partition.AddRange('^', '^');
        break;  // may fall back to a literal
      case tkLineTail:
        partition.AddRange('$', '$');
        break;
      case tkNegLBracket: {
        TbmREToken open = t;
        tokens_.back().Kind = tkLBracket;
        if (++i >= in.size()) throw std::runtime_error("TbmRETokens.Standardize Internal Error(2)");
        int32_t s = in[i].StartPos;
        TbmREWchRanges excluded;
        excluded.AddNewlines();
        while (in[i].Kind != tkRBracket) {
          excluded.AddRange(in[i].Lo, in[i].Hi);
          if (++i >= in.size()) {
            throw std::runtime_error("TbmRETokens.Standardize Internal Error(3)");
          }
        }
        excluded.Negate(0, 0xFFFF);
        // Members covering every value leave nothing a character could match:
        // refused rather than handed on as an empty bracket expression.
        if (excluded.empty()) {
          open.Kind = tkErrInvalidCharClass;
          open.EndPos = in[i].EndPos;
          throw EbmREToken(open);
        }
        partition.AddRanges(excluded);
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
}

}  // namespace parlevo
