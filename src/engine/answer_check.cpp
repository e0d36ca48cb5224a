// Checks answers and conditions as written. The text is parsed into its tags
// (the braces as the expander pairs them); each tag's key is its folded
// content with every inner tag standing as one placeholder, and the key's
// name is looked up the way the dispatch looks it up. What a tag gives is
// known only by kind (a truth value, a number or date, or any text), which is
// enough to tell a condition that can never be True or False.
#include "engine/answer_check.h"

#include <optional>

#include "data/text_helpers.h"
#include "platform/codepage.h"

namespace parlevo {
namespace {

// Stands for an inner tag's result inside a key.
constexpr char16_t kInner = 0x0001;

struct TTag {
  size_t Open = 0, Close = 0;  // positions of "{" and "}"
  std::vector<TTag> Inner;
};

// What a tag gives.
enum class TGives { kUnknownName, kNameFromTag, kTruth, kNumberOrDate, kAnyText };

std::string Written(std::u16string_view text, const TTag& tag) {
  return platform::WideToAnsi(text.substr(tag.Open, tag.Close - tag.Open + 1));
}

// ---------------------------------------------------------------------------
// Parsing

// Pairs the braces; reports a "}" that closes nothing (which empties the
// whole expansion) and a "{" that is never closed (which cuts it there).
std::vector<TTag> Parse(std::u16string_view text, std::vector<std::string>& problems) {
  std::vector<TTag> top;
  std::vector<TTag> open;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'{') {
      open.push_back({i, 0, {}});
    } else if (text[i] == u'}') {
      if (open.empty()) {
        problems.push_back("unbalanced braces: the \"}\" at character " + std::to_string(i + 1) +
                           " closes no tag, so the whole text expands to nothing");
        return top;
      }
      TTag tag = std::move(open.back());
      open.pop_back();
      tag.Close = i;
      (open.empty() ? top : open.back().Inner).push_back(std::move(tag));
    }
  }
  if (!open.empty()) {
    problems.push_back("unbalanced braces: the \"{\" at character " +
                       std::to_string(open.front().Open + 1) +
                       " is never closed, so the text is cut there");
  }
  return top;
}

// The folded content of `tag`, each inner tag one placeholder.
std::u16string Key(std::u16string_view text, const TTag& tag) {
  std::u16string content;
  size_t at = tag.Open + 1;
  for (const TTag& inner : tag.Inner) {
    content += text.substr(at, inner.Open - at);
    content += kInner;
    at = inner.Close + 1;
  }
  content += text.substr(at, tag.Close - at);
  return NormalizeText(content);
}

// ---------------------------------------------------------------------------
// Names, looked up as the dispatch does

class TNames {
 public:
  explicit TNames(std::u16string_view key)
      : key_(key), inner_(key.find(kInner) != std::u16string_view::npos) {}

  TGives Classify() const {
    if (key_.empty()) return TGives::kAnyText;
    // Inner results may bring the bar or the length a test asks for.
    const bool bar = inner_ || key_.find(u'|') != std::u16string_view::npos;
    const char16_t second = key_.size() > 1 ? key_[1] : 0;
    switch (key_[0]) {
      case kInner:
        return TGives::kNameFromTag;
      case u'!':
      case u'=':
        return bar && second == u'=' ? TGives::kTruth : TGives::kUnknownName;
      case u'<':
      case u'>':
        return bar ? TGives::kTruth : TGives::kUnknownName;
      case u'%':
      case u'*':
      case u'+':
      case u'-':
      case u'/':
      case u'\\':
      case u'^':
        return bar ? TGives::kNumberOrDate : TGives::kUnknownName;
      case u'A':
        if (bar && Starts(u"AND")) return TGives::kTruth;
        if (Is(u"ALLOWEXECUTE")) return TGives::kTruth;
        return AnyStarts({u"ABS:", u"ARCCOS:", u"ARCSIN:", u"ARCTAN:"}, TGives::kNumberOrDate);
      case u'B':
        return Is(u"BIRTHDAY") || Is(u"BR") ? TGives::kAnyText : TGives::kUnknownName;
      case u'C':
        if (Long(7) && Starts(u"COUNT")) return TGives::kNumberOrDate;
        if (Starts(u"CHOICE")) return TGives::kAnyText;
        return AnyStarts({u"COS:", u"CEIL:"}, TGives::kNumberOrDate);
      case u'D':
        if (Is(u"DATE") || Is(u"DAY")) return TGives::kNumberOrDate;
        return bar && Starts(u"DATEDIFF") ? TGives::kNumberOrDate : TGives::kUnknownName;
      case u'E':
        if (bar && second == u'Q') return TGives::kTruth;
        if (Is(u"ENDENTRUST") || (bar && Starts(u"ENTRUST"))) return TGives::kTruth;
        return AnyStarts({u"EXP:"}, TGives::kNumberOrDate);
      case u'F':
        if (Long(6) && Starts(u"FLAG")) return TGives::kTruth;
        if (Starts(u"FLOOR:")) return TGives::kNumberOrDate;
        return Is(u"FULLNAME") ? TGives::kAnyText : TGives::kUnknownName;
      case u'H':
        return Is(u"HOUR") ? TGives::kNumberOrDate : TGives::kUnknownName;
      case u'I':
        if (!bar) return TGives::kUnknownName;
        // "IF" and an inner truth value make IFTRUE or IFFALSE.
        if (Starts(u"IFTRUE") || Starts(u"IFFALSE") || Starts(u"IF\x01")) return TGives::kAnyText;
        return Long(8) && Starts(u"ISSAME") ? TGives::kTruth : TGives::kUnknownName;
      case u'L':
        if (bar && Starts(u"LIKE")) return TGives::kTruth;
        if (Starts(u"LENGTH:")) return TGives::kNumberOrDate;
        if (bar && Starts(u"LEFT")) return TGives::kAnyText;
        return bar && Starts(u"LOG") ? TGives::kNumberOrDate : TGives::kUnknownName;
      case u'M':
        if (Long(6) && Starts(u"MEMO")) return TGives::kAnyText;
        if (bar && (Starts(u"MAX") || Starts(u"MIN"))) return TGives::kNumberOrDate;
        if (bar && Starts(u"MID")) return TGives::kAnyText;
        if (Is(u"MONTH") || Is(u"MINUTE")) return TGives::kNumberOrDate;
        return Is(u"MYOJI") ? TGives::kAnyText : TGives::kUnknownName;
      case u'N':
        if (Is(u"NOW")) return TGives::kNumberOrDate;
        if (Is(u"NAMAE") || Is(u"NICKNAME")) return TGives::kAnyText;
        if (Is(u"NOT:TRUE") || Is(u"NOT:FALSE") || Starts(u"NOT:\x01")) return TGives::kTruth;
        return bar && second == u'E' ? TGives::kTruth : TGives::kUnknownName;
      case u'O':
        if (Is(u"OPERATEMESSAGE")) return TGives::kAnyText;
        return bar && second == u'R' ? TGives::kTruth : TGives::kUnknownName;
      case u'P':
        if (bar && Starts(u"POS")) return TGives::kNumberOrDate;
        if (Is(u"PREV") || Is(u"PREVANSWER")) return TGives::kAnyText;
        return Is(u"PI") ? TGives::kNumberOrDate : TGives::kUnknownName;
      case u'R':
        if (Long(8) && Starts(u"RANDOM") && key_.size() > 7 && key_[7] == u':') {
          return key_[6] == u'B' ? TGives::kTruth : TGives::kNumberOrDate;
        }
        if ((bar && Starts(u"RIGHT")) || Is(u"RESULT")) return TGives::kAnyText;
        return AnyStarts({u"ROUND:"}, TGives::kNumberOrDate);
      case u'S':
        if (Starts(u"SCRIPTIZE:")) return TGives::kAnyText;
        if (Is(u"SEX") || Starts(u"SHELL:")) return TGives::kTruth;
        if (Is(u"SECOND")) return TGives::kNumberOrDate;
        return AnyStarts({u"SIN:", u"SQRT:", u"SQR:"}, TGives::kNumberOrDate);
      case u'T':
        if (Is(u"TIME") || Is(u"TURN")) return TGives::kNumberOrDate;
        return AnyStarts({u"TRUNC:", u"TAN:"}, TGives::kNumberOrDate);
      case u'W':
        return Is(u"WORK") ? TGives::kNumberOrDate : TGives::kUnknownName;
      case u'X':
        return bar && Starts(u"XOR") ? TGives::kTruth : TGives::kUnknownName;
      case u'Y':
        return Is(u"YEAR") || Is(u"YOUBI") ? TGives::kNumberOrDate : TGives::kUnknownName;
      default:
        return TGives::kUnknownName;
    }
  }

 private:
  bool Is(std::u16string_view name) const { return key_ == name; }
  bool Starts(std::u16string_view name) const { return key_.substr(0, name.size()) == name; }
  bool Long(size_t n) const { return inner_ || key_.size() >= n; }
  TGives AnyStarts(std::initializer_list<std::u16string_view> names, TGives gives) const {
    for (std::u16string_view name : names) {
      if (Starts(name)) return gives;
    }
    return TGives::kUnknownName;
  }

  std::u16string_view key_;
  bool inner_;
};

// ---------------------------------------------------------------------------
// Conditions

// True when `operand` (part of a key) can never read as a number: it holds a
// character that no number is written with, outside inner tags.
bool NeverANumber(std::u16string_view operand) {
  for (char16_t c : operand) {
    const bool numeric = (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || c == u'X' ||
                         c == u'$' || c == u'+' || c == u'-' || c == u'.' || c == u' ' ||
                         c == kInner;
    if (!numeric) return true;
  }
  return false;
}

// Why `tag`, used as a condition, can never give True or False; nothing
// when it may.
std::optional<std::string> NeverTruth(std::u16string_view text, const TTag& tag) {
  const std::u16string key = Key(text, tag);
  const TGives gives = TNames(key).Classify();
  if (gives == TGives::kNumberOrDate) {
    return "condition " + Written(text, tag) + " gives a number or a date, never True or False";
  }
  const bool comparison = gives == TGives::kTruth &&
                          std::u16string_view(u"!=<>").find(key[0]) != std::u16string_view::npos;
  const size_t bar = key.find(u'|');
  if (!comparison || bar == std::u16string::npos) return std::nullopt;
  const size_t name = key[1] == u'=' ? 2 : 1;
  if (NeverANumber(std::u16string_view(key).substr(name, bar - name)) ||
      NeverANumber(std::u16string_view(key).substr(bar + 1))) {
    return "condition " + Written(text, tag) +
           " can never be True or False: an operand is no number as written, so the comparison "
           "always fails";
  }
  return std::nullopt;
}

// Notes unknown names and IF conditions of `tags` and everything inside.
void CheckTags(std::u16string_view text, const std::vector<TTag>& tags,
               std::vector<std::string>& problems) {
  for (const TTag& tag : tags) {
    const std::u16string key = Key(text, tag);
    if (TNames(key).Classify() == TGives::kUnknownName) {
      problems.push_back("unknown tag " + Written(text, tag) +
                         ": no tag function has this name, so it stays as written");
    }
    // "IF" directly followed by its condition.
    if (key.substr(0, 3) == u"IF\x01" && tag.Inner.front().Open == tag.Open + 3) {
      if (auto why = NeverTruth(text, tag.Inner.front())) problems.push_back(*why);
    }
    CheckTags(text, tag.Inner, problems);
  }
}

}  // namespace

std::vector<std::string> CheckAnswer(std::string_view answer) {
  const std::u16string text = platform::AnsiToWide(answer);
  std::vector<std::string> problems;
  const std::vector<TTag> tags = Parse(text, problems);
  CheckTags(text, tags, problems);
  return problems;
}

std::vector<std::string> CheckCondition(std::string_view condition) {
  const std::u16string text = platform::AnsiToWide(condition);
  std::vector<std::string> problems;
  const std::vector<TTag> tags = Parse(text, problems);
  CheckTags(text, tags, problems);
  if (!problems.empty()) return problems;
  const std::string written = platform::WideToAnsi(text);
  if (tags.empty()) {
    if (NormalizeText(text) != u"TRUE") {
      problems.push_back("condition " + written + " has no tag, so it is never True");
    }
  } else if (tags.size() == 1 && tags[0].Open == 0 && tags[0].Close + 1 == text.size()) {
    if (auto why = NeverTruth(text, tags[0])) problems.push_back(*why);
  } else if (tags.size() == 1) {
    problems.push_back("condition " + written +
                       " has text around its tag, so it is never exactly True");
  }
  return problems;
}

}  // namespace parlevo
