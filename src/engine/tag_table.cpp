// The tag table: the only place where the tag names are spelled. Rows are
// grouped by their name's first character and keep, within a group, the
// order in which the dispatch tries them; an index from the first character
// to its group keeps the selection to a few comparisons.
#include "engine/tag_table.h"

#include <array>
#include <utility>

#include "engine/tag_functions.h"

namespace parlevo {
namespace {

using namespace tags;
using enum TTagResult;

// A row under construction: the guards are added to the plain forms.
struct TRow : TTagRow {
  constexpr TRow Bar() const {
    TRow row = *this;
    row.NeedsBar = true;
    return row;
  }
  constexpr TRow Min(uint8_t length) const {
    TRow row = *this;
    row.MinLength = length;
    return row;
  }
  constexpr TRow Numbers() const {
    TRow row = *this;
    row.NumberOperands = true;
    return row;
  }
  constexpr TRow Unlisted() const {
    TRow row = *this;
    row.Listed = false;
    return row;
  }
  constexpr TRow Range(int16_t min, int16_t max) const {
    TRow row = *this;
    row.Values.Min = min;
    row.Values.Max = max;
    return row;
  }
  constexpr TRow Names(std::string_view names) const {
    TRow row = *this;
    row.Values.Names = names;
    return row;
  }
};

using TCall = std::u16string (*)(TTagContext&);

// A tag whose whole key is its name.
constexpr TRow Is(std::string_view name, TTagResult result, uint8_t effects, std::string_view en,
                  std::string_view ja, TCall call) {
  return {
      {name, TTagNameMatch::kExact, false, 0, result, effects, false, true, {}, en, ja, call, {}}};
}

// A tag whose arguments follow its name.
constexpr TRow Starts(std::string_view name, std::string_view arguments, TTagResult result,
                      uint8_t effects, std::string_view en, std::string_view ja, TCall call) {
  return {{name,
           TTagNameMatch::kPrefix,
           false,
           0,
           result,
           effects,
           false,
           true,
           arguments,
           en,
           ja,
           call,
           {}}};
}

// An operator "a|b" on two numbers.
constexpr TRow Operator(std::string_view name, TTagResult result, std::string_view en,
                        std::string_view ja, TCall call) {
  return Starts(name, "a|b", result, kNoEffect, en, ja, call).Bar().Numbers();
}

// A real function of the one argument after its name (which ends in ":").
constexpr TRow Real(std::string_view name, std::string_view en, std::string_view ja, TCall call) {
  return Starts(name, "x", kNumber, kNoEffect, en, ja, call);
}

// The real functions are told the length of their name.
template <TRealFunction F, int kNameLength>
std::u16string CallReal(TTagContext& tag) {
  return RealFunction(tag, F, kNameLength);
}
template <TOperator Op>
std::u16string CallArithmetic(TTagContext& tag) {
  return Arithmetic(tag, Op);
}
template <TComparison C>
std::u16string CallCompare(TTagContext& tag) {
  return Compare(tag, C);
}

constexpr TTagRow kRows[] = {
    Operator("!=", kTruth, "True when the two numbers differ", "二つの数が違えば True",
             CallCompare<TComparison::NotEqual>),
    Operator("%", kNumber, "remainder of the whole-number division of a by b",
             "整数 a を b で割った余り", CallArithmetic<TOperator::Modulo>),
    Operator("*", kNumber, "a times b", "a と b の積", CallArithmetic<TOperator::Multiply>),
    Operator("+", kNumber, "a plus b", "a と b の和", CallArithmetic<TOperator::Add>),
    Operator("-", kNumber, "a minus b", "a から b を引いた差", CallArithmetic<TOperator::Subtract>),
    Operator("/", kNumber, "a divided by b", "a を b で割った商",
             CallArithmetic<TOperator::Divide>),
    Operator("\\", kNumber, "whole-number division of a by b, truncated toward zero",
             "整数 a を b で割った商 (0 の方へ切り捨て)", CallArithmetic<TOperator::IntDivide>),
    Operator("^", kNumber, "a to the power b", "a の b 乗", CallArithmetic<TOperator::Power>),
    Operator("<=", kTruth, "True when a is at most b", "a が b 以下なら True",
             CallCompare<TComparison::LessEqual>),
    Operator("<", kTruth, "True when a is less than b", "a が b より小さければ True",
             CallCompare<TComparison::Less>),
    Operator("==", kTruth, "True when the two numbers are equal", "二つの数が等しければ True",
             CallCompare<TComparison::Equal>),
    Operator(">=", kTruth, "True when a is at least b", "a が b 以上なら True",
             CallCompare<TComparison::GreaterEqual>),
    Operator(">", kTruth, "True when a is greater than b", "a が b より大きければ True",
             CallCompare<TComparison::Greater>),

    Starts("AND", "a|b", kTruth, kNoEffect, "True when both operands are true", "両方が真なら True",
           And)
        .Bar(),
    Is("ALLOWEXECUTE", kTruth, kNoEffect, "whether the character may start programs: always False",
       "人格がプログラムを起動できるか (いつも False)", AllowExecute)
        .Names("False"),
    Real("ABS:", "absolute value of x", "x の絶対値", CallReal<TRealFunction::Abs, 4>),
    Real("ARCCOS:", "arc cosine of x, in radians", "x の逆余弦 (ラジアン)",
         CallReal<TRealFunction::ArcCos, 7>),
    Real("ARCSIN:", "arc sine of x, in radians", "x の逆正弦 (ラジアン)",
         CallReal<TRealFunction::ArcSin, 7>),
    Real("ARCTAN:", "arc tangent of x, in radians", "x の逆正接 (ラジアン)",
         CallReal<TRealFunction::ArcTan, 7>),

    Is("BIRTHDAY", kDate, kReadsTalk, "the partner's birthday, yyyy/mm/dd",
       "相手の誕生日 (yyyy/mm/dd)", Birthday),
    Is("BR", kText, kNoEffect, "a line break", "改行", LineBreak),

    Starts("COUNT", "nn, nn++, nn--, nn:x, nn+x, nn-x", kNumber, kReadsMemory | kWritesMemory,
           "number slot nn: gives it, or sets it, adds to it, takes from it",
           "数のスロット nn: 値を返す、または設定する・足す・引く", Count)
        .Min(7),
    Starts("CHOICE", "a|b|…", kText, kDraws, "one of the items, drawn at random",
           "項目のどれか一つ (くじで選ぶ)", Choice),
    Real("COS:", "cosine of x, in radians", "x の余弦 (ラジアン)", CallReal<TRealFunction::Cos, 4>),
    Real("CEIL:", "smallest whole number not below x", "x 以上の最小の整数",
         CallReal<TRealFunction::Ceil, 5>),

    Is("DATE", kDate, kReadsClock, "today's date, yyyy/mm/dd", "今日の日付 (yyyy/mm/dd)", Date),
    Is("DAY", kNumber, kReadsClock, "day of the month", "日", Day).Range(1, 31),
    Starts(
        "DATEDIFF", "u date|date", kNumber, kNoEffect,
        "the second date minus the first, in days (u = D), hours (H), minutes (N) or seconds (S)",
        "二つ目の日付から一つ目を引いた差。日 (u = D)、時間 (H)、分 (N)、秒 (S) で", DateDiff)
        .Bar(),

    Starts("EQ", "a|b", kTruth, kNoEffect, "True when the texts are the same, case and width aside",
           "二つのテキストが同じなら True (大文字・小文字、全角・半角は区別しない)", Eq)
        .Bar(),
    Is("ENDENTRUST", kTruth, kNoEffect, "always False: no program is ever started",
       "いつも False (プログラムを起動しない)", EndEntrust)
        .Names("False"),
    Starts("ENTRUST", "program|args", kTruth, kNoEffect, "always False: starts no program",
           "いつも False (プログラムを起動しない)", Entrust)
        .Bar()
        .Names("False"),
    Real("EXP:", "e to the power x", "e の x 乗", CallReal<TRealFunction::Exp, 4>),

    Starts("FLAG", "nn, nn:TRUE, nn:FALSE, nn!", kTruth, kReadsMemory | kWritesMemory,
           "truth slot nn: gives it, or sets, clears or turns it over",
           "真偽のスロット nn: 値を返す、または立てる・下ろす・反転する", Flag)
        .Min(6),
    Real("FLOOR:", "largest whole number not above x", "x 以下の最大の整数",
         CallReal<TRealFunction::Floor, 6>),
    Is("FULLNAME", kText, kReadsTalk, "the partner's family name followed by the given name",
       "相手の名字の後に名前", FullName),

    Is("HOUR", kNumber, kReadsClock, "hour, 0 to 23", "時 (0〜23)", Hour).Range(0, 23),

    Starts("IFTRUE", "then|else", kText, kNoEffect,
           "IF with a true condition: the part before the first |",
           "条件が真の IF: 最初の | より前の部分", IfTrue)
        .Bar(),
    Starts("IFFALSE", "then|else", kText, kNoEffect,
           "IF with a false condition: the part after the first |",
           "条件が偽の IF: 最初の | より後の部分", IfFalse)
        .Bar(),
    Starts("ISSAME", "D date|date", kTruth, kNoEffect,
           "True when the two dates fall on the same month and day",
           "二つの日付の月と日が同じなら True", IsSame)
        .Bar()
        .Min(8),

    Starts("LIKE", "text|pattern", kTruth, kNoEffect,
           "True when the pattern is found in the text (# is one digit)",
           "パターンがテキストに見つかれば True (# は数字一つ)", Like)
        .Bar(),
    Starts("LENGTH:", "text", kNumber, kNoEffect, "number of characters of the text",
           "テキストの文字数", Length),
    Starts("LEFT", "n|text", kText, kNoEffect, "the first n characters of the text",
           "テキストの先頭 n 文字", Left)
        .Bar(),
    Operator("LOG", kNumber, "logarithm of b to the base a", "a を底とする b の対数", Log),

    Starts("MEMO", "nn, nn:text, nn+text, nnC", kText, kReadsMemory | kWritesMemory,
           "text slot nn: gives it, or sets, appends to or clears it",
           "テキストのスロット nn: 値を返す、または設定する・後ろに足す・空にする", Memo)
        .Min(6),
    Operator("MAX", kNumber, "the larger of a and b", "a と b の大きい方", Max),
    Operator("MIN", kNumber, "the smaller of a and b", "a と b の小さい方", Min),
    Starts("MID", "start|text, start|count|text", kText, kNoEffect,
           "a piece of the text from position start (count characters)",
           "テキストの start 文字目からの部分 (count 文字)", Mid)
        .Bar(),
    Is("MONTH", kNumber, kReadsClock, "month, 1 to 12", "月 (1〜12)", Month).Range(1, 12),
    Is("MINUTE", kNumber, kReadsClock, "minute of the hour", "分", Minute).Range(0, 59),
    Is("MYOJI", kText, kReadsTalk, "the partner's family name", "相手の名字", FamilyName),

    Is("NOW", kDate, kReadsClock, "date and time, yyyy/mm/dd hh:nn:ss",
       "日付と時刻 (yyyy/mm/dd hh:nn:ss)", Now),
    Is("NAMAE", kText, kReadsTalk, "the partner's given name", "相手の名前", GivenName),
    Is("NICKNAME", kText, kReadsTalk, "the partner's nickname", "相手のニックネーム", Nickname),
    Is("NOT:TRUE", kTruth, kNoEffect, "True: it repeats the value, it does not turn it over",
       "True (値をそのまま返し、反転しない)", NotTrue)
        .Names("True"),
    Is("NOT:FALSE", kTruth, kNoEffect, "False: it repeats the value, it does not turn it over",
       "False (値をそのまま返し、反転しない)", NotFalse)
        .Names("False"),
    Starts("NE", "a|b", kTruth, kNoEffect, "True when the texts differ, case and width aside",
           "二つのテキストが違えば True (大文字・小文字、全角・半角は区別しない)", Ne)
        .Bar(),

    Is("OPERATEMESSAGE", kText, kReadsTalk, "what the character heard this turn, folded",
       "この発言で聞いたことをそろえたもの", OperateMessage),
    Starts("OR", "a|b", kTruth, kNoEffect, "True when either operand is true",
           "どちらかが真なら True", Or)
        .Bar(),

    Starts("POS", "part|text", kNumber, kNoEffect,
           "position of the part in the text, 0 when it is not there",
           "テキストの中の part の位置 (ないときは 0)", Pos)
        .Bar(),
    Is("PREV", kText, kReadsTalk, "what the character heard this turn, as it was said",
       "この発言で聞いたこと (言われたとおり)", Prev),
    Is("PREVANSWER", kText, kReadsTalk, "the answer being expanded, as written in the data",
       "展開中の答え (データに書かれたとおり)", PrevAnswer),
    Is("PI", kNumber, kNoEffect, "the number pi", "円周率", Pi),

    Starts("RANDOMB:", "n", kTruth, kDraws, "True with a chance of n percent",
           "n パーセントの確率で True", Random),
    Starts("RANDOMV:", "n", kNumber, kDraws, "a whole number from 0 to n - 1, drawn at random",
           "0 から n - 1 までの整数 (くじで選ぶ)", Random),
    Starts("RANDOM?:", "n", kNothing, kDraws, "another letter: draws anew and gives nothing",
           "ほかの文字: くじを引き直すだけで何も返さない", Random)
        .Unlisted(),
    Starts("RIGHT", "n|text", kText, kNoEffect, "the last n characters of the text",
           "テキストの末尾 n 文字", Right)
        .Bar(),
    Real("ROUND:", "x rounded to a whole number, halves away from zero", "x を四捨五入した整数",
         CallReal<TRealFunction::Round, 6>),
    Is("RESULT", kText, kTouchesFiles,
       "the first line of Result.txt in the data folder, which is then deleted",
       "データフォルダの Result.txt の1行目 (読んだ後で削除する)", Result),

    Starts("SCRIPTIZE:", "text", kText, kNoEffect,
           "the text with [ and ] turned into { and }, so its tags run afterwards",
           "テキストの [ ] を { } に変えたもの (後でタグとして展開される)", Scriptize),
    Real("SIN:", "sine of x, in radians", "x の正弦 (ラジアン)", CallReal<TRealFunction::Sin, 4>),
    Real("SQRT:", "square root of x", "x の平方根", CallReal<TRealFunction::Sqrt, 5>),
    Real("SQR:", "x times x", "x の2乗", CallReal<TRealFunction::Sqr, 4>),
    Is("SECOND", kNumber, kReadsClock, "second of the minute", "秒", Second).Range(0, 59),
    Is("SEX", kTruth, kReadsTalk, "the partner's sex", "相手の性別", Sex),
    Starts("SHELL:", "file", kTruth, kNoEffect, "always False: opens no file",
           "いつも False (ファイルを開かない)", Shell)
        .Names("False"),

    Is("TIME", kDate, kReadsClock, "time of day, hh:nn:ss", "時刻 (hh:nn:ss)", Time),
    Is("TURN", kNumber, kReadsTalk, "how many times this character has answered",
       "この人格が答えた回数", Turn),
    Real("TRUNC:", "x truncated toward zero", "x の小数部を切り捨てた整数",
         CallReal<TRealFunction::Trunc, 6>),
    Real("TAN:", "tangent of x, in radians", "x の正接 (ラジアン)",
         CallReal<TRealFunction::Tan, 4>),

    Is("WORK", kNumber, kReadsClock | kReadsTalk,
       "minutes part of the time since the character was loaded",
       "人格を読み込んでからの時間の「分」の部分", Work)
        .Range(0, 59),

    Starts("XOR", "a|b", kTruth, kNoEffect, "True when exactly one operand is true",
           "どちらか一方だけが真なら True", Xor)
        .Bar(),

    Is("YEAR", kNumber, kReadsClock, "year", "年", Year).Range(1, 9999),
    Is("YOUBI", kDate, kReadsClock, "day of the week, 日曜 to 土曜", "曜日 (日曜〜土曜)", Youbi)
        .Names("日曜|月曜|火曜|水曜|木曜|金曜|土曜"),
};

// For each first character of a key, the rows whose name begins with it.
struct TGroup {
  uint8_t Begin = 0, End = 0;
};
using TIndex = std::array<TGroup, 128>;

constexpr TIndex BuildIndex() {
  TIndex index{};
  for (size_t i = 0; i < std::size(kRows); ++i) {
    TGroup& group = index[static_cast<unsigned char>(kRows[i].Name[0])];
    if (group.Begin == group.End) group.Begin = static_cast<uint8_t>(i);
    group.End = static_cast<uint8_t>(i + 1);
  }
  return index;
}

// True when every group is one run of rows, so that an index range holds
// the group's rows only and in the order of the table.
constexpr bool GroupsAreRuns() {
  for (size_t i = 1; i < std::size(kRows); ++i) {
    for (size_t j = 0; j + 1 < i; ++j) {
      if (kRows[j].Name[0] == kRows[i].Name[0] && kRows[i - 1].Name[0] != kRows[i].Name[0]) {
        return false;
      }
    }
  }
  return true;
}

static_assert(std::size(kRows) < 256, "the index holds row numbers in a byte");
static_assert(GroupsAreRuns(), "keep each first character's rows together");

constexpr TIndex kIndex = BuildIndex();

bool NameFits(std::string_view name, TTagNameMatch match, std::u16string_view key) {
  if (key.size() < name.size()) return false;
  if (match == TTagNameMatch::kExact && key.size() != name.size()) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    if (name[i] != '?' && char16_t(name[i]) != key[i]) return false;
  }
  return true;
}

bool Fits(const TTagRow& row, std::u16string_view key, bool bar) {
  return (bar || !row.NeedsBar) && key.size() >= row.MinLength &&
         NameFits(row.Name, row.Match, key);
}

}  // namespace

std::span<const TTagRow> TagRows() { return kRows; }

const TTagRow* FindTagRow(std::u16string_view key) {
  if (key.empty() || key[0] >= kIndex.size()) return nullptr;
  const TGroup group = kIndex[key[0]];
  const bool bar = key.find(u'|') != std::u16string_view::npos;
  for (size_t i = group.Begin; i < group.End; ++i) {
    if (Fits(kRows[i], key, bar)) return &kRows[i];
  }
  return nullptr;
}

}  // namespace parlevo
