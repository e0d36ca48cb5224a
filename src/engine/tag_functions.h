// The tag functions, one family per source file. Each takes the tag being
// evaluated and returns its result; a bad argument raises an exception. The
// tag table (tag_table.cpp) gives them their names and selects them.
#ifndef PARLEVO_ENGINE_TAG_FUNCTIONS_H_
#define PARLEVO_ENGINE_TAG_FUNCTIONS_H_

#include <string>

#include "engine/tag_context.h"

namespace parlevo::tags {

// Profile and conversation state (tags_profile.cpp).
std::u16string FamilyName(TTagContext& tag);
std::u16string GivenName(TTagContext& tag);
std::u16string FullName(TTagContext& tag);
std::u16string Nickname(TTagContext& tag);
std::u16string Sex(TTagContext& tag);
std::u16string Birthday(TTagContext& tag);
std::u16string OperateMessage(TTagContext& tag);
std::u16string Prev(TTagContext& tag);
std::u16string PrevAnswer(TTagContext& tag);
std::u16string Turn(TTagContext& tag);
std::u16string Work(TTagContext& tag);

// Date and time of the expansion's instant (tags_datetime.cpp).
std::u16string Now(TTagContext& tag);
std::u16string Date(TTagContext& tag);
std::u16string Time(TTagContext& tag);
std::u16string Year(TTagContext& tag);
std::u16string Month(TTagContext& tag);
std::u16string Day(TTagContext& tag);
std::u16string Hour(TTagContext& tag);
std::u16string Minute(TTagContext& tag);
std::u16string Second(TTagContext& tag);
std::u16string Youbi(TTagContext& tag);
std::u16string DateDiff(TTagContext& tag);
std::u16string IsSame(TTagContext& tag);

// Text (tags_text.cpp).
std::u16string LineBreak(TTagContext& tag);
std::u16string Length(TTagContext& tag);
std::u16string Left(TTagContext& tag);
std::u16string Right(TTagContext& tag);
std::u16string Mid(TTagContext& tag);
std::u16string Pos(TTagContext& tag);
std::u16string Eq(TTagContext& tag);
std::u16string Ne(TTagContext& tag);
std::u16string Like(TTagContext& tag);

// Memory slots (tags_memory.cpp).
std::u16string Memo(TTagContext& tag);
std::u16string Count(TTagContext& tag);
std::u16string Flag(TTagContext& tag);

// Arithmetic and real functions (tags_arithmetic.cpp).
enum class TOperator { Add, Subtract, Multiply, Divide, Power, IntDivide, Modulo };
std::u16string Arithmetic(TTagContext& tag, TOperator op);
enum class TRealFunction {
  Abs,
  Sin,
  Cos,
  Tan,
  ArcSin,
  ArcCos,
  ArcTan,
  Sqr,
  Sqrt,
  Exp,
  Ceil,
  Floor,
  Round,
  Trunc
};
// `name_length` counts the name with its ":".
std::u16string RealFunction(TTagContext& tag, TRealFunction function, int name_length);
std::u16string Max(TTagContext& tag);
std::u16string Min(TTagContext& tag);
std::u16string Log(TTagContext& tag);
std::u16string Pi(TTagContext& tag);

// Comparisons and logic (tags_logic.cpp).
enum class TComparison { Equal, NotEqual, Less, LessEqual, Greater, GreaterEqual };
std::u16string Compare(TTagContext& tag, TComparison comparison);
std::u16string And(TTagContext& tag);
std::u16string Or(TTagContext& tag);
std::u16string Xor(TTagContext& tag);
std::u16string NotTrue(TTagContext& tag);
std::u16string NotFalse(TTagContext& tag);

// Random choices (tags_random.cpp).
std::u16string Random(TTagContext& tag);  // the letter after the name picks the draw
std::u16string Choice(TTagContext& tag);

// Control and outside the character (tags_control.cpp).
std::u16string IfTrue(TTagContext& tag);
std::u16string IfFalse(TTagContext& tag);
std::u16string Scriptize(TTagContext& tag);
std::u16string AllowExecute(TTagContext& tag);
std::u16string Entrust(TTagContext& tag);
std::u16string EndEntrust(TTagContext& tag);
std::u16string Shell(TTagContext& tag);
std::u16string Result(TTagContext& tag);

}  // namespace parlevo::tags

#endif  // PARLEVO_ENGINE_TAG_FUNCTIONS_H_
