// Comparison and logic tags: numeric comparisons and the truth connectives
// AND, OR, XOR and the NOT: forms, all answering "True" or "False".
#include "engine/tag_functions.h"

namespace parlevo::tags {
namespace {

// a and b: four characters from each position, tested for "TRUE".
std::u16string Connective(const TTagContext& tag, int first, bool (*combine)(bool, bool)) {
  bool a = IsTrueOperand(Slice(tag.Key, first, first + 3));
  bool b = IsTrueOperand(Slice(tag.Key, tag.Bar + 1, tag.Bar + 4));
  return TruthText(combine(a, b));
}

}  // namespace

// A "|" B after a one- or two-character operator, compared as real numbers.
std::u16string Compare(TTagContext& tag, TComparison comparison) {
  bool two_characters = comparison == TComparison::NotEqual ||
                        comparison == TComparison::LessEqual ||
                        comparison == TComparison::GreaterEqual || comparison == TComparison::Equal;
  double a = ReadReal(Slice(tag.Key, two_characters ? 3 : 2, tag.Bar - 1));
  double b = ReadReal(SliceFrom(tag.Key, tag.Bar + 1));
  switch (comparison) {
    case TComparison::Equal:
      return TruthText(a == b);
    case TComparison::NotEqual:
      return TruthText(a != b);
    case TComparison::Less:
      return TruthText(a < b);
    case TComparison::LessEqual:
      return TruthText(a <= b);
    case TComparison::Greater:
      return TruthText(a > b);
    default:
      return TruthText(a >= b);
  }
}

std::u16string And(TTagContext& tag) {
  return Connective(tag, 4, [](bool a, bool b) { return a && b; });
}

std::u16string Or(TTagContext& tag) {
  return Connective(tag, 3, [](bool a, bool b) { return a || b; });
}

std::u16string Xor(TTagContext& tag) {
  return Connective(tag, 4, [](bool a, bool b) { return a != b; });
}

// NOT:TRUE gives "True" and NOT:FALSE gives "False": these tags repeat their
// operand rather than negate it, and personalities are written against that.
std::u16string NotTrue(TTagContext&) { return TruthText(true); }
std::u16string NotFalse(TTagContext&) { return TruthText(false); }

}  // namespace parlevo::tags
