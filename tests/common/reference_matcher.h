// An independent matcher of the pattern language for tests: a small
// backtracking matcher with its own reader, parser and search, to check the engine against.
#ifndef PARLEVO_TESTS_COMMON_REFERENCE_MATCHER_H_
#define PARLEVO_TESTS_COMMON_REFERENCE_MATCHER_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "regex/reader.h"  // TbmCharCode only: decoding is this matcher's own

namespace parlevo::reference {

// Syntax errors, numbered as the engine numbers its token kinds.
enum class SyntaxError : int {
  kNone = 0,
  kNeedRBracket = 20,
  kInvalidCharClass = 21,
  kInvalidEscape = 22,
  kInvalidChar = 23,
  kNeedRPar = 24,
  kNeedAtom = 25,
};

struct Outcome {
  // kSkipped: nothing known (over the step budget, a program and text too
  // large to mark, nesting beyond what the parser follows, or a UTF-16 text
  // of odd length).
  enum Status { kMatch, kNoMatch, kSyntaxError, kSkipped } status = kNoMatch;
  int32_t pos = -1;  // 0-based byte position of the match
  int32_t len = 0;   // its length in bytes
  SyntaxError error = SyntaxError::kNone;
};

// One pattern, parsed at construction. Search tries every start from `from`
// on, stepping over whole characters; the first start with any match wins,
// and there the longest match. Every search is bounded by `budget` steps;
// past it the outcome is kSkipped.
class Matcher {
 public:
  Matcher(TbmCharCode code, std::string_view pattern);

  SyntaxError Error() const { return error_; }
  Outcome Search(std::string_view text, int32_t from, int64_t budget = 200'000) const;

  // One compiled step; exposed for the parser's helpers only.
  struct Inst {
    enum Op { kChar, kSplit, kJump, kHead, kTail, kMatch } op;
    int32_t next = -1, alt = -1;  // successors (alt for kSplit)
    int32_t set = -1;             // kChar: index into sets_
  };
  // A character set: ranges of values, or their complement without CR and LF.
  struct CharSet {
    std::vector<std::pair<int32_t, int32_t>> ranges;
    bool negated = false;
    bool Contains(int32_t c) const;
  };

 private:
  friend class Compiler;
  TbmCharCode code_;
  SyntaxError error_ = SyntaxError::kNone;
  bool too_deep_ = false;
  std::vector<Inst> prog_;
  std::vector<CharSet> sets_;
  int32_t start_ = 0;
};

// Decodes the character at byte `pos` (< text.size()): its value and bytes.
int32_t DecodeAt(TbmCharCode code, std::string_view text, size_t pos, int32_t& bytes);

}  // namespace parlevo::reference

#endif  // PARLEVO_TESTS_COMMON_REFERENCE_MATCHER_H_
