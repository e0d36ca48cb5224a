// Literal analysis for the set matcher. The pattern's own quick answers
// already know its required strings (see literal_analysis.cpp); this stage decides
// how the set uses them: exact literal patterns (also with "^" or "$" around
// them) are confirmed by a hit on a character boundary (at a line head or
// tail), others are verified by their automaton after a hit,
// and patterns with no required string are asked on every text.
#include "regex/set_literals.h"

#include "regex/literal_analysis.h"
#include "regex/rexp.h"

namespace parlevo {

TbmRESetLiterals AnalyzeForSet(TbmRExp& pattern, TbmCharCode code) {
  TbmRESetLiterals out;
  const TbmREFastFind* quick;
  try {
    quick = &pattern.QuickAnswers();
  } catch (const EbmREToken&) {
    return out;  // kNever
  }
  std::vector<std::string> strings = quick->Literals();
  if (strings.empty() || pattern.GetCharCode() != code) {
    out.kind = TbmRESetLiterals::Kind::kAskAlways;
    return out;
  }
  out.kind = TbmRESetLiterals::Kind::kLiterals;
  out.exact = quick->LiteralOnly() || quick->ExactAnchored();
  out.head = quick->HeadAnchored();
  out.tail = quick->TailAnchored();
  if (!out.exact) {
    CutLiterals(strings, kMaxSetLiteralBytes);
    out.also = quick->AlsoLiterals();
    CutLiterals(out.also, kMaxSetLiteralBytes);
  }
  out.strings = std::move(strings);
  return out;
}

}  // namespace parlevo
