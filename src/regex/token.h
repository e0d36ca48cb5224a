// Pattern tokens: the kinds the scanner produces, the token record, and the
// syntax error EbmREToken, whose message is the name string of its kind.
#ifndef PARLEVO_REGEX_TOKEN_H_
#define PARLEVO_REGEX_TOKEN_H_

#include <cstdint>
#include <stdexcept>
#include <string>

namespace parlevo {

// Token kinds and syntax error kinds share one enumeration; the name table is
// indexed by the same value. 15..19 are reserved and never produced.
enum TbmRETokenKind : uint8_t {
  tkChar = 0,
  tkCharClass,
  tkUnion,
  tkLPar,
  tkRPar,
  tkStar,
  tkPlus,
  tkQuestion,
  tkLBracket,
  tkNegLBracket,
  tkRBracket,
  tkDot,
  tkLineHead,
  tkLineTail,
  tkEnd,
  tkLogOr,
  tkLogAnd,
  tkLogNot,
  tkLogLPar,
  tkLogRPar,
  tkErrNeedRBracket,
  tkErrInvalidCharClass,
  tkErrInvalidEscape,
  tkErrInvalidChar,
  tkErrNeedRPar,
  tkErrNeedAtom,
};
inline constexpr int kTokenKindCount = 26;

// The name string of a kind ("character", "union", ...); "" out of range.
const char* bmreTokenKindName(TbmRETokenKind kind);

// One token. Lo..Hi is the character or range (for operators the operator
// character itself); StartPos/EndPos are byte offsets in the pattern.
struct TbmREToken {
  TbmRETokenKind Kind = tkChar;
  int32_t Lo = 0;
  int32_t Hi = 0;
  int32_t StartPos = 0;
  int32_t EndPos = 0;
};

// A pattern syntax error (also a pattern refused for exceeding a budget).
// what() is the name string of Token.Kind.
class EbmREToken : public std::runtime_error {
 public:
  explicit EbmREToken(const TbmREToken& token, std::string budget = {})
      : std::runtime_error(bmreTokenKindName(token.Kind)),
        Token(token),
        Budget(std::move(budget)) {}
  // The message for a personality author: the kind's name, and for a pattern
  // refused by a size budget, which budget ("invalid character (nesting
  // deeper than 200 groups)").
  std::string Detail() const { return Budget.empty() ? what() : what() + (" (" + Budget + ")"); }

  TbmREToken Token;
  std::string Budget;  // empty for a plain syntax error
};

}  // namespace parlevo

#endif  // PARLEVO_REGEX_TOKEN_H_
