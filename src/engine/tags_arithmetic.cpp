// Arithmetic tags: the operators + - * / ^ \ %, the real functions of one
// argument, MAX, MIN, LOG and PI. Every floating-point fault is an error.
#include <cmath>
#include <cstdint>
#include <limits>

#include "engine/tag_functions.h"

namespace parlevo::tags {
namespace {

struct TOperands {
  std::u16string_view a, b;
};

// A is Key[first..Bar-1], B is Key[Bar+1..Len].
TOperands CutOperands(const TTagContext& tag, int first) {
  return {Slice(tag.Key, first, tag.Bar - 1), SliceFrom(tag.Key, tag.Bar + 1)};
}

// Base raised to exponent: exact squaring for whole exponents, e^(b ln a)
// otherwise.
double Power(double base, double exponent) {
  if (exponent == 0) return 1;
  if (base == 0 && exponent > 0) return 0;
  if (std::trunc(exponent) == exponent && std::fabs(exponent) <= 2147483647.0) {
    uint32_t bits = uint32_t(std::fabs(exponent));
    double product = 1;
    double square = base;
    while (bits != 0) {
      if (bits & 1) product *= square;
      bits >>= 1;
      if (bits != 0) square *= square;
    }
    if (exponent > 0) return product;
    if (product == 0) throw ETagError("division by zero");
    return 1 / product;
  }
  if (base < 0) throw ETagError("logarithm of a negative number");
  return std::exp(exponent * std::log(base));
}

// Whole-number division; the one quotient that overflows 32 bits is an error.
int32_t CheckedDivisor(int32_t a, int32_t b) {
  if (b == 0) throw ETagError("division by zero");
  if (a == std::numeric_limits<int32_t>::min() && b == -1) throw ETagError("integer overflow");
  return b;
}

double RealOf(TRealFunction function, double x) {
  constexpr double kTwoTo63 = 9223372036854775808.0;
  switch (function) {
    case TRealFunction::Abs:
      return std::fabs(x);
    case TRealFunction::Sin:
      return std::fabs(x) >= kTwoTo63 ? 0 : std::sin(x);
    case TRealFunction::Cos:
      return std::fabs(x) >= kTwoTo63 ? 0 : std::cos(x);
    case TRealFunction::Tan:
      return std::tan(x);
    case TRealFunction::ArcSin:
      if (std::fabs(x) > 1) throw ETagError("invalid operation");
      return std::atan2(x, std::sqrt(1 - x * x));
    case TRealFunction::ArcCos:
      if (std::fabs(x) > 1) throw ETagError("invalid operation");
      return std::atan2(std::sqrt(1 - x * x), x);
    case TRealFunction::ArcTan:
      return std::atan(x);
    case TRealFunction::Sqr:
      return x * x;
    case TRealFunction::Sqrt:
      if (x < 0) throw ETagError("invalid operation");
      return std::sqrt(x);
    case TRealFunction::Exp:
      return std::exp(x);
    default:
      return x;  // the whole-number functions are handled apart
  }
}

// CEIL:, FLOOR:, ROUND:, TRUNC:. Values outside the target range are errors.
int64_t WholeOf(TRealFunction function, double x) {
  switch (function) {
    case TRealFunction::Ceil: {
      int32_t t = TruncToInt32(x);
      if (x - t > 0) {
        if (t == std::numeric_limits<int32_t>::max()) throw ETagError("out of the 32-bit range");
        ++t;
      }
      return t;
    }
    case TRealFunction::Floor: {
      int32_t t = TruncToInt32(x);
      if (x - t < 0) {
        if (t == std::numeric_limits<int32_t>::min()) throw ETagError("out of the 32-bit range");
        --t;
      }
      return t;
    }
    case TRealFunction::Round:
      return TruncToInt64(x >= 0 ? x + 0.5 : x - 0.5);
    default:
      return TruncToInt64(x);
  }
}

}  // namespace

std::u16string Arithmetic(TTagContext& tag, TOperator op) {
  TOperands operands = CutOperands(tag, 2);
  if (op == TOperator::IntDivide || op == TOperator::Modulo) {
    int32_t a = ReadInt(operands.a);
    int32_t b = CheckedDivisor(a, ReadInt(operands.b));
    return IntText(op == TOperator::IntDivide ? a / b : a % b);
  }
  double a = ReadReal(operands.a);
  double b = ReadReal(operands.b);
  switch (op) {
    case TOperator::Add:
      return RealText(a + b);
    case TOperator::Subtract:
      return RealText(a - b);
    case TOperator::Multiply:
      return RealText(a * b);
    case TOperator::Divide:
      if (b == 0) throw ETagError("division by zero");
      return RealText(a / b);
    default:
      return RealText(Power(a, b));
  }
}

std::u16string RealFunction(TTagContext& tag, TRealFunction function, int name_length) {
  double x = ReadReal(SliceFrom(tag.Key, name_length + 1));
  switch (function) {
    case TRealFunction::Ceil:
    case TRealFunction::Floor:
    case TRealFunction::Round:
    case TRealFunction::Trunc:
      return IntText(WholeOf(function, x));
    default:
      return RealText(RealOf(function, x));
  }
}

std::u16string Max(TTagContext& tag) {
  TOperands operands = CutOperands(tag, 4);
  double a = ReadReal(operands.a);
  double b = ReadReal(operands.b);
  return RealText(b > a ? b : a);
}

std::u16string Min(TTagContext& tag) {
  TOperands operands = CutOperands(tag, 4);
  double a = ReadReal(operands.a);
  double b = ReadReal(operands.b);
  return RealText(b < a ? b : a);
}

// LOGbase|x.
std::u16string Log(TTagContext& tag) {
  TOperands operands = CutOperands(tag, 4);
  double base = ReadReal(operands.a);
  double x = ReadReal(operands.b);
  if (base <= 0 || base == 1 || x <= 0) throw ETagError("invalid logarithm");
  return RealText(std::log2(x) / std::log2(base));
}

std::u16string Pi(TTagContext&) { return RealText(3.14159265358979323846); }

}  // namespace parlevo::tags
