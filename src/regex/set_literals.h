// Literal analysis of one pattern for the set matcher: the byte strings of
// which every match must contain one, and whether a hit alone is a match.
#ifndef PARLEVO_REGEX_SET_LITERALS_H_
#define PARLEVO_REGEX_SET_LITERALS_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "regex/reader.h"
#include "regex/set_shapes.h"

namespace parlevo {

class TbmRExp;

// Literals that a prefilter needs no more of; longer required strings are
// cut to this prefix (a prefix of a required string is required too).
inline constexpr size_t kMaxSetLiteralBytes = 16;

struct TbmRESetLiterals {
  enum class Kind {
    kNever,      // the pattern does not compile: never found
    kLiterals,   // found only where one of `strings` occurs
    kAskAlways,  // no required string: the pattern itself is asked every time
  };
  Kind kind = Kind::kNever;
  // A hit of one of `strings` starting on a character boundary is a match
  // (the pattern is exactly these strings), when it also stands at a line
  // head for `head` ("^" before each) and at a line tail for `tail` ("$").
  bool exact = false;
  bool head = false, tail = false;
  std::vector<std::string> strings;
  // Not exact: a second set of which a match also contains one (empty: none).
  std::vector<std::string> also;
  // Hits decide more than an exact literal (see set_shapes.h; a kLiteral
  // shape comes as `exact`): `strings` are the shape's first literal, `also`
  // a pair's second, `head` and `tail` its anchors.
  TbmRESetShape::Kind shape = TbmRESetShape::Kind::kNone;
  std::vector<int16_t> follow;         // after the last literal's hit (TbmRESetShape)
  std::vector<TbmREClassItem> before;  // the classes before it, for kRunBefore
};

// Parses `pattern` (building no automaton) and analyses it for a set whose
// texts are in `code`. A pattern of another character code is asked always.
TbmRESetLiterals AnalyzeForSet(TbmRExp& pattern, TbmCharCode code);

}  // namespace parlevo

#endif  // PARLEVO_REGEX_SET_LITERALS_H_
