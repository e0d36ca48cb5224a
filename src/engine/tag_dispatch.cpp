// The dispatch of the tag language: the first character of a tag's key picks
// a group, the group's tests in order pick the tag function.
#include "engine/tag_dispatch.h"

#include "engine/tag_functions.h"

namespace parlevo {
namespace {

using namespace tags;

// The tests of the groups. The first test that holds selects the function,
// even when that function then finds nothing it understands.
class TDispatch {
 public:
  explicit TDispatch(TTagContext& tag) : tag_(tag), key_(tag.Key) {}

  std::u16string Run() {
    const bool bar = tag_.Bar != 0;
    const int len = tag_.Len;
    const char16_t second = CharAt(key_, 2);
    switch (key_[0]) {
      case u'!':
        if (bar && second == u'=') return Compare(tag_, TComparison::NotEqual);
        return {};
      case u'%':
        return bar ? Arithmetic(tag_, TOperator::Modulo) : u"";
      case u'*':
        return bar ? Arithmetic(tag_, TOperator::Multiply) : u"";
      case u'+':
        return bar ? Arithmetic(tag_, TOperator::Add) : u"";
      case u'-':
        return bar ? Arithmetic(tag_, TOperator::Subtract) : u"";
      case u'/':
        return bar ? Arithmetic(tag_, TOperator::Divide) : u"";
      case u'\\':
        return bar ? Arithmetic(tag_, TOperator::IntDivide) : u"";
      case u'^':
        return bar ? Arithmetic(tag_, TOperator::Power) : u"";
      case u'<':
        if (!bar) return {};
        return Compare(tag_, second == u'=' ? TComparison::LessEqual : TComparison::Less);
      case u'>':
        if (!bar) return {};
        return Compare(tag_, second == u'=' ? TComparison::GreaterEqual : TComparison::Greater);
      case u'=':
        if (bar && second == u'=') return Compare(tag_, TComparison::Equal);
        return {};
      case u'A':
        return GroupA(bar);
      case u'B':
        if (Is(u"BIRTHDAY")) return Birthday(tag_);
        if (Is(u"BR")) return LineBreak(tag_);
        return {};
      case u'C':
        return GroupC(len);
      case u'D':
        if (Is(u"DATE")) return Date(tag_);
        if (Is(u"DAY")) return Day(tag_);
        if (bar && len != 8 && Starts(u"DATEDIFF")) return DateDiff(tag_);
        return {};
      case u'E':
        return GroupE(bar, second);
      case u'F':
        if (len >= 6 && Starts(u"FLAG")) return Flag(tag_);
        if (Starts(u"FLOOR:")) return RealFunction(tag_, TRealFunction::Floor, 6);
        if (Is(u"FULLNAME")) return FullName(tag_);
        return {};
      case u'H':
        return Is(u"HOUR") ? Hour(tag_) : u"";
      case u'I':
        if (!bar) return {};
        if (Starts(u"IFTRUE")) return IfTrue(tag_);
        if (Starts(u"IFFALSE")) return IfFalse(tag_);
        if (len >= 8 && Starts(u"ISSAME")) return IsSame(tag_);
        return {};
      case u'L':
        if (bar && Starts(u"LIKE")) return Like(tag_);
        if (Starts(u"LENGTH:")) return Length(tag_);
        if (bar && Starts(u"LEFT")) return Left(tag_);
        if (bar && Starts(u"LOG")) return Log(tag_);
        return {};
      case u'M':
        return GroupM(bar, len);
      case u'N':
        return GroupN(bar, second);
      case u'O':
        if (Is(u"OPERATEMESSAGE")) return OperateMessage(tag_);
        if (bar && second == u'R') return Or(tag_);
        return {};
      case u'P':
        if (bar && Starts(u"POS")) return Pos(tag_);
        if (Is(u"PREV")) return Prev(tag_);
        if (Is(u"PREVANSWER")) return PrevAnswer(tag_);
        if (Is(u"PI")) return Pi(tag_);
        return {};
      case u'R':
        return GroupR(bar, len);
      case u'S':
        return GroupS();
      case u'T':
        if (Is(u"TIME")) return Time(tag_);
        if (Is(u"TURN")) return Turn(tag_);
        if (Starts(u"TRUNC:")) return RealFunction(tag_, TRealFunction::Trunc, 6);
        if (Starts(u"TAN:")) return RealFunction(tag_, TRealFunction::Tan, 4);
        return {};
      case u'W':
        return Is(u"WORK") ? Work(tag_) : u"";
      case u'X':
        return bar && Starts(u"XOR") ? Xor(tag_) : u"";
      case u'Y':
        if (Is(u"YEAR")) return Year(tag_);
        if (Is(u"YOUBI")) return Youbi(tag_);
        return {};
      default:
        return {};
    }
  }

 private:
  bool Is(std::u16string_view name) const { return key_ == name; }
  bool Starts(std::u16string_view name) const { return StartsWith(key_, name); }

  std::u16string GroupA(bool bar) {
    if (bar && Starts(u"AND")) return And(tag_);
    if (Is(u"ALLOWEXECUTE")) return AllowExecute(tag_);
    if (Starts(u"ABS:")) return RealFunction(tag_, TRealFunction::Abs, 4);
    if (Starts(u"ARCCOS:")) return RealFunction(tag_, TRealFunction::ArcCos, 7);
    if (Starts(u"ARCSIN:")) return RealFunction(tag_, TRealFunction::ArcSin, 7);
    if (Starts(u"ARCTAN:")) return RealFunction(tag_, TRealFunction::ArcTan, 7);
    return {};
  }

  std::u16string GroupC(int len) {
    if (len >= 7 && Starts(u"COUNT")) return Count(tag_);
    if (Starts(u"CHOICE")) return Choice(tag_);
    if (Starts(u"COS:")) return RealFunction(tag_, TRealFunction::Cos, 4);
    if (Starts(u"CEIL:")) return RealFunction(tag_, TRealFunction::Ceil, 5);
    return {};
  }

  std::u16string GroupE(bool bar, char16_t second) {
    if (bar && second == u'Q') return Eq(tag_);
    if (Is(u"ENDENTRUST")) return EndEntrust(tag_);
    if (bar && Starts(u"ENTRUST")) return Entrust(tag_);
    if (Starts(u"EXP:")) return RealFunction(tag_, TRealFunction::Exp, 4);
    return {};
  }

  std::u16string GroupM(bool bar, int len) {
    if (len >= 6 && Starts(u"MEMO")) return Memo(tag_);
    if (bar) {
      if (Starts(u"MAX")) return Max(tag_);
      if (Starts(u"MIN")) return Min(tag_);
      if (Starts(u"MID")) return Mid(tag_);
      return {};
    }
    if (Is(u"MONTH")) return Month(tag_);
    if (Is(u"MINUTE")) return Minute(tag_);
    if (Is(u"MYOJI")) return FamilyName(tag_);
    return {};
  }

  std::u16string GroupN(bool bar, char16_t second) {
    if (Is(u"NOW")) return Now(tag_);
    if (Is(u"NAMAE")) return GivenName(tag_);
    if (Is(u"NICKNAME")) return Nickname(tag_);
    if (Is(u"NOT:TRUE")) return NotTrue(tag_);
    if (Is(u"NOT:FALSE")) return NotFalse(tag_);
    if (bar && second == u'E') return Ne(tag_);
    return {};
  }

  std::u16string GroupR(bool bar, int len) {
    if (len >= 8 && Starts(u"RANDOM") && CharAt(key_, 8) == u':') return Random(tag_);
    if (bar && Starts(u"RIGHT")) return Right(tag_);
    if (Starts(u"ROUND:")) return RealFunction(tag_, TRealFunction::Round, 6);
    if (Is(u"RESULT")) return Result(tag_);
    return {};
  }

  std::u16string GroupS() {
    if (Starts(u"SCRIPTIZE:")) return Scriptize(tag_);
    if (Starts(u"SIN:")) return RealFunction(tag_, TRealFunction::Sin, 4);
    if (Starts(u"SQRT:")) return RealFunction(tag_, TRealFunction::Sqrt, 5);
    if (Starts(u"SQR:")) return RealFunction(tag_, TRealFunction::Sqr, 4);
    if (Is(u"SECOND")) return Second(tag_);
    if (Is(u"SEX")) return Sex(tag_);
    if (Starts(u"SHELL:")) return Shell(tag_);
    return {};
  }

  TTagContext& tag_;
  std::u16string_view key_;
};

}  // namespace

std::u16string DispatchTag(TTagContext& tag) {
  if (tag.Key.empty()) return {};
  return TDispatch(tag).Run();
}

}  // namespace parlevo
