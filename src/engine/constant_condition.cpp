// Constant conditions. A tag is split into its operands at the "|" outside
// inner tags; an operand is fixed text or one whole inner tag, whose values
// the tag table describes. A comparison is constant when every value the
// inner tag can give compares the same way with the fixed text.
#include "engine/constant_condition.h"

#include <functional>
#include <vector>

#include "data/text_helpers.h"
#include "engine/tag_context.h"
#include "engine/tag_lookup.h"
#include "platform/codepage.h"

namespace parlevo {
namespace {

// The pieces of `text` between the "|" outside inner tags.
std::vector<std::u16string_view> SplitOperands(std::u16string_view text) {
  std::vector<std::u16string_view> parts;
  size_t start = 0;
  int depth = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'{') ++depth;
    if (text[i] == u'}' && depth > 0) --depth;
    if (text[i] == u'|' && depth == 0) {
      parts.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  parts.push_back(text.substr(start));
  return parts;
}

// The position of the "}" that closes the "{" at `open`; npos when none does.
size_t CloseOf(std::u16string_view text, size_t open) {
  int depth = 0;
  for (size_t i = open; i < text.size(); ++i) {
    if (text[i] == u'{') ++depth;
    if (text[i] == u'}' && --depth == 0) return i;
  }
  return std::u16string_view::npos;
}

// True when `text` is one tag from its first to its last character.
bool IsWholeTag(std::u16string_view text) {
  return text.size() >= 2 && text.front() == u'{' && CloseOf(text, 0) + 1 == text.size();
}

// The texts a row's reading form can give, folded, and how to say so; no
// texts when any text of its kind may come.
struct TValues {
  std::vector<std::u16string> Texts;
  std::string Said;  // ANSI: "HOUR gives 0 to 23"
};

TValues ValuesOf(const TTagRow& row) {
  TValues values;
  const std::string name(row.Name);
  if (row.Values.Ranged()) {
    for (int v = row.Values.Min; v <= row.Values.Max; ++v) values.Texts.push_back(IntText(v));
    values.Said =
        name + " gives " + std::to_string(row.Values.Min) + " to " + std::to_string(row.Values.Max);
    return values;
  }
  std::string names(row.Values.Names);
  if (names.empty() && row.Result == TTagResult::kTruth) names = "True|False";
  if (names.empty()) return values;
  std::string listed;
  const std::u16string wide = platform::Utf8ToWide(names);
  for (std::u16string_view text : SplitOperands(wide)) {
    values.Texts.push_back(NormalizeText(text));
    listed += (listed.empty() ? "" : ", ") + platform::WideToAnsi(text);
  }
  values.Said = name + " gives " + (values.Texts.size() == 1 ? "always " : "") + listed;
  return values;
}

// The one row that selects `tag` whatever its inner tags give, or whatever
// its first inner tag gives of the values the table knows for it
// ("{>{HOUR}|25}" would be ">=" only were an hour to begin with "=");
// nullptr else.
const TTagRow* SoleRow(std::u16string_view tag) {
  const std::u16string_view content = tag.substr(1, tag.size() - 2);
  const TTagLookup lookup = LookUpTag(content);
  if (lookup.Rows.size() == 1 && lookup.Sure) return lookup.Rows.front();
  const size_t open = content.find(u'{');
  const size_t close = open == std::u16string_view::npos ? open : CloseOf(content, open);
  if (lookup.Rows.empty() || close == std::u16string_view::npos) return nullptr;
  const TTagRow* inner = SoleRow(content.substr(open, close - open + 1));
  if (inner == nullptr) return nullptr;
  const TTagRow* selected = nullptr;
  const TValues values = ValuesOf(*inner);
  for (const std::u16string& value : values.Texts) {
    const std::u16string key =
        std::u16string(content.substr(0, open)) + value + std::u16string(content.substr(close + 1));
    const TTagLookup each = LookUpTag(key);
    if (each.Rows.size() != 1 || !each.Sure) return nullptr;
    if (selected != nullptr && selected != each.Rows.front()) return nullptr;
    selected = each.Rows.front();
  }
  return selected;
}

// An operand: fixed text (folded), or the values of one whole inner tag.
struct TOperand {
  bool Fixed = false;
  std::u16string Text;  // fixed: folded
  TValues Values;       // an inner tag's, when known
};

TOperand OperandOf(std::u16string_view written) {
  TOperand operand;
  if (written.find_first_of(u"{}") == std::u16string_view::npos) {
    operand.Fixed = true;
    operand.Text = NormalizeText(written);
  } else if (IsWholeTag(written)) {
    if (const TTagRow* row = SoleRow(written)) operand.Values = ValuesOf(*row);
  }
  return operand;
}

using TTest = std::function<bool(const std::u16string& a, const std::u16string& b)>;

// The test applied to every pair of values the two operands can give: a
// truth when it is always the same. A test that throws (no number) is left
// to the check of operands.
std::optional<TConstantTruth> Judge(const TOperand& a, const TOperand& b, const TTest& test) {
  if ((!a.Fixed && a.Values.Texts.empty()) || (!b.Fixed && b.Values.Texts.empty())) return {};
  if (!a.Fixed && !b.Fixed) return {};
  const std::vector<std::u16string> as = a.Fixed ? std::vector{a.Text} : a.Values.Texts;
  const std::vector<std::u16string> bs = b.Fixed ? std::vector{b.Text} : b.Values.Texts;
  std::optional<bool> same;
  try {
    for (const std::u16string& x : as) {
      for (const std::u16string& y : bs) {
        const bool result = test(x, y);
        if (same && *same != result) return {};
        same = result;
      }
    }
  } catch (const ETagError&) {
    return {};
  }
  const std::string why =
      a.Fixed && b.Fixed ? "it compares fixed values" : (a.Fixed ? b.Values.Said : a.Values.Said);
  return TConstantTruth{*same, why};
}

TTest NumberTest(std::string_view name) {
  auto numbers = [](bool (*compare)(double, double)) -> TTest {
    return [compare](const std::u16string& a, const std::u16string& b) {
      return compare(ReadReal(a), ReadReal(b));
    };
  };
  if (name == "==") return numbers([](double a, double b) { return a == b; });
  if (name == "!=") return numbers([](double a, double b) { return a != b; });
  if (name == "<") return numbers([](double a, double b) { return a < b; });
  if (name == "<=") return numbers([](double a, double b) { return a <= b; });
  if (name == ">") return numbers([](double a, double b) { return a > b; });
  return numbers([](double a, double b) { return a >= b; });
}

// A connective's operand as a truth: first four characters "TRUE".
std::optional<bool> TruthOf(std::u16string_view written) {
  if (written.find_first_of(u"{}") == std::u16string_view::npos) {
    return IsTrueOperand(NormalizeText(written).substr(0, 4));
  }
  if (!IsWholeTag(written)) return {};
  if (const std::optional<TConstantTruth> inner = ConstantTruth(written)) return inner->Value;
  return {};
}

std::optional<TConstantTruth> Connective(std::string_view name, std::u16string_view a,
                                         std::u16string_view b) {
  const std::optional<bool> x = TruthOf(a), y = TruthOf(b);
  const std::string why = "its operands are fixed";
  if (name == "AND" && ((x && !*x) || (y && !*y))) return TConstantTruth{false, why};
  if (name == "OR" && ((x && *x) || (y && *y))) return TConstantTruth{true, why};
  if (!x || !y) return {};
  if (name == "AND") return TConstantTruth{*x && *y, why};
  if (name == "OR") return TConstantTruth{*x || *y, why};
  return TConstantTruth{*x != *y, why};
}

bool IsConnective(std::string_view name) { return name == "AND" || name == "OR" || name == "XOR"; }
bool IsTextComparison(std::string_view name) { return name == "EQ" || name == "NE"; }

// Rows that take two operands around one "|".
bool TakesTwo(const TTagRow& row) {
  return (row.NumberOperands && row.Result == TTagResult::kTruth) || IsTextComparison(row.Name) ||
         IsConnective(row.Name);
}

}  // namespace

std::optional<TConstantTruth> ConstantTruth(std::u16string_view tag) {
  if (!IsWholeTag(tag)) return {};
  const TTagRow* row = SoleRow(tag);
  if (row == nullptr || row->Result != TTagResult::kTruth) return {};
  const TValues own = ValuesOf(*row);
  if (own.Texts.size() == 1) return TConstantTruth{own.Texts.front() == u"TRUE", own.Said};
  if (!TakesTwo(*row)) return {};
  const std::u16string_view content = tag.substr(1, tag.size() - 2);
  const std::vector<std::u16string_view> parts = SplitOperands(content.substr(row->Name.size()));
  if (parts.size() != 2) return {};
  if (IsConnective(row->Name)) return Connective(row->Name, parts[0], parts[1]);
  const TOperand a = OperandOf(parts[0]), b = OperandOf(parts[1]);
  if (IsTextComparison(row->Name)) {
    const bool equal_is_true = row->Name == "EQ";
    return Judge(a, b, [equal_is_true](const std::u16string& x, const std::u16string& y) {
      return (x == y) == equal_is_true;
    });
  }
  return Judge(a, b, NumberTest(row->Name));
}

std::optional<std::string> WrongArity(std::u16string_view tag) {
  if (!IsWholeTag(tag)) return {};
  const TTagRow* row = SoleRow(tag);
  if (row == nullptr || !TakesTwo(*row)) return {};
  const std::u16string_view content = tag.substr(1, tag.size() - 2);
  const std::vector<std::u16string_view> parts = SplitOperands(content.substr(row->Name.size()));
  if (parts.size() <= 2) return {};
  const std::string second =
      platform::WideToAnsi(content.substr(row->Name.size() + parts[0].size() + 1));
  std::string why =
      std::string(row->Name) + " takes two operands, a|b; here the second is \"" + second + "\"";
  if (IsConnective(row->Name)) return why + ", of which it reads the first four characters";
  if (IsTextComparison(row->Name)) return why + ", compared whole";
  return why + ", which is no number, so the comparison always fails";
}

}  // namespace parlevo
