// Literal analysis for the set matcher. The pattern's own quick answers
// already know its required strings (see literal_analysis.cpp); this stage decides
// how the set uses them: exact literal patterns (also with "^" or "$" around
// them) are confirmed by a hit on a character boundary (at a line head or
// tail), and so are the shapes of set_shapes by where their hits stand;
// others are verified by their automaton after a hit, and patterns with no
// required string are asked on every text.
#include "regex/set_literals.h"

#include "regex/literal_analysis.h"
#include "regex/rexp.h"

namespace parlevo {
namespace {

// The shape of a pattern that may have one; kNone otherwise.
TbmRESetShape ShapeOf(TbmRExp& pattern) {
  try {
    return pattern.TakeSetShape();
  } catch (const EbmREToken&) {
    return {};  // parsed before, so not expected: asked as before
  }
}

}  // namespace

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
    TbmRESetShape shape = ShapeOf(pattern);
    if (shape.kind != TbmRESetShape::Kind::kNone) {
      out.exact = shape.kind == TbmRESetShape::Kind::kLiteral;
      out.shape = out.exact ? TbmRESetShape::Kind::kNone : shape.kind;
      out.head = shape.head;
      out.tail = shape.tail;
      out.strings = std::move(shape.first);
      out.also = std::move(shape.second);
      out.follow = std::move(shape.follow);
      out.before = std::move(shape.before);
      return out;
    }
    CutLiterals(strings, kMaxSetLiteralBytes);
    out.also = quick->AlsoLiterals();
    CutLiterals(out.also, kMaxSetLiteralBytes);
  }
  out.strings = std::move(strings);
  return out;
}

}  // namespace parlevo
