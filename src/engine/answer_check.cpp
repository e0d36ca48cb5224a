// Checks answers and conditions as written. The text is parsed into its tags
// (the braces as the expander pairs them) and each tag is looked up in the
// tag table, its inner tags standing for any text. What a tag gives is known
// only by the kind its rows give (a truth value, a number or date, nothing,
// or any text), which is enough to tell a condition that can never be True
// or False.
#include "engine/answer_check.h"

#include <algorithm>
#include <optional>

#include "data/text_helpers.h"
#include "engine/constant_condition.h"
#include "engine/tag_lookup.h"
#include "platform/codepage.h"

namespace parlevo {
namespace {

struct TTag {
  size_t Open = 0, Close = 0;  // positions of "{" and "}"
  std::vector<TTag> Inner;
};

std::string Written(std::u16string_view text, const TTag& tag) {
  return platform::WideToAnsi(text.substr(tag.Open, tag.Close - tag.Open + 1));
}

// The rows that may select `tag`, looked up in the tag table.
TTagLookup LookUp(std::u16string_view text, const TTag& tag) {
  return LookUpTag(text.substr(tag.Open + 1, tag.Close - tag.Open - 1));
}

// A problem about characters [begin, end) of the text; end 0: all of it.
TTextProblem Problem(std::string_view code, std::string message, size_t begin = 0, size_t end = 0) {
  TTextProblem problem;
  problem.Code = code;
  problem.Message = std::move(message);
  problem.Begin = begin;
  problem.End = end;
  return problem;
}

// ---------------------------------------------------------------------------
// Parsing

// Pairs the braces; reports a "}" that closes nothing (which empties the
// whole expansion) and a "{" that is never closed (which cuts it there).
std::vector<TTag> Parse(std::u16string_view text, std::vector<TTextProblem>& problems) {
  std::vector<TTag> top;
  std::vector<TTag> open;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'{') {
      open.push_back({i, 0, {}});
    } else if (text[i] == u'}') {
      if (open.empty()) {
        problems.push_back(Problem("unbalanced-braces",
                                   "unbalanced braces: the \"}\" at character " +
                                       std::to_string(i + 1) +
                                       " closes no tag, so the whole text expands to nothing",
                                   i, i + 1));
        return top;
      }
      TTag tag = std::move(open.back());
      open.pop_back();
      tag.Close = i;
      (open.empty() ? top : open.back().Inner).push_back(std::move(tag));
    }
  }
  if (!open.empty()) {
    const size_t at = open.front().Open;
    problems.push_back(Problem("unbalanced-braces",
                               "unbalanced braces: the \"{\" at character " +
                                   std::to_string(at + 1) +
                                   " is never closed, so the text is cut there",
                               at, at + 1));
  }
  return top;
}

// ---------------------------------------------------------------------------
// Conditions

// True when `operand` (part of a key) can never read as a number: it holds a
// character that no number is written with, outside inner tags.
bool NeverANumber(std::u16string_view operand) {
  for (char16_t c : operand) {
    const bool numeric = (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || c == u'X' ||
                         c == u'$' || c == u'+' || c == u'-' || c == u'.' || c == u' ' ||
                         c == kInnerTag;
    if (!numeric) return true;
  }
  return false;
}

// True when every row of `lookup` reads two numbers around the key's first
// "|" and gives a truth value, and for each of them an operand can never read
// as a number: the comparison always fails.
bool ComparisonAlwaysFails(const TTagLookup& lookup) {
  const std::u16string_view key = lookup.Key;
  const size_t bar = key.find(u'|');
  if (lookup.Rows.empty() || bar == std::u16string_view::npos) return false;
  for (const TTagRow* row : lookup.Rows) {
    const size_t name = row->Name.size();
    if (row->Result != TTagResult::kTruth || !row->NumberOperands || name > bar) return false;
    if (!NeverANumber(key.substr(name, bar - name)) && !NeverANumber(key.substr(bar + 1))) {
      return false;
    }
  }
  return true;
}

// Why `tag`, used as a condition, can never give True or False, or always
// gives the same; nothing when it may.
std::optional<TTextProblem> ConditionProblem(std::u16string_view text, const TTag& tag) {
  const TTagLookup lookup = LookUp(text, tag);
  switch (LookedUpResult(lookup)) {
    case TTagResult::kNumber:
    case TTagResult::kDate:
      return Problem(
          "condition-not-truth",
          "condition " + Written(text, tag) + " gives a number or a date, never True or False",
          tag.Open, tag.Close + 1);
    case TTagResult::kNothing:
      return Problem("condition-not-truth",
                     "condition " + Written(text, tag) + " gives nothing, never True or False",
                     tag.Open, tag.Close + 1);
    default:
      break;
  }
  const std::u16string_view written = text.substr(tag.Open, tag.Close - tag.Open + 1);
  if (const std::optional<std::string> arity = WrongArity(written)) {
    return Problem("wrong-arity", "condition " + Written(text, tag) + ": " + *arity, tag.Open,
                   tag.Close + 1);
  }
  if (const std::optional<TConstantTruth> constant = ConstantTruth(written)) {
    return Problem("constant-condition",
                   "condition " + Written(text, tag) + " is always " +
                       (constant->Value ? "True" : "False") + ": " + constant->Why,
                   tag.Open, tag.Close + 1);
  }
  if (ComparisonAlwaysFails(lookup)) {
    return Problem("comparison-always-fails",
                   "condition " + Written(text, tag) +
                       " can never be True or False: an operand is no number as written, so the "
                       "comparison always fails",
                   tag.Open, tag.Close + 1);
  }
  return std::nullopt;
}

// True when the key's first inner tag stands where every row's name goes on
// with a truth value ("IF" and a condition make IFTRUE or IFFALSE): that
// inner tag is a condition.
bool FirstInnerTagIsCondition(const TTagLookup& lookup) {
  const size_t at = lookup.Key.find(kInnerTag);
  if (lookup.Rows.empty() || at == std::u16string::npos) return false;
  return std::all_of(lookup.Rows.begin(), lookup.Rows.end(), [at](const TTagRow* row) {
    const std::string_view rest = row->Name.substr(std::min(at, row->Name.size()));
    return rest.starts_with("TRUE") || rest.starts_with("FALSE");
  });
}

// An unknown tag, and the nearest known name when one is close. The key is
// folded character for character, so the name replaces the tag's first
// characters as written.
TTextProblem UnknownTag(std::u16string_view text, const TTag& tag, const TTagLookup& lookup) {
  TTextProblem problem = Problem("unknown-tag",
                                 "unknown tag " + Written(text, tag) +
                                     ": no tag function has this name, so it stays as written",
                                 tag.Open, tag.Close + 1);
  if (const std::optional<TTagSuggestion> near = NearestTagName(lookup.Key)) {
    const std::string name(near->Name);
    problem.Message += "; did you mean " + name + "?";
    std::u16string fixed(text.substr(tag.Open, tag.Close - tag.Open + 1));
    fixed.replace(1, near->Replaced, platform::AnsiToWide(name));
    problem.Fix = platform::WideToAnsi(fixed);
  }
  return problem;
}

// Notes unknown names and the conditions inside tags, of `tags` and
// everything inside.
void CheckTags(std::u16string_view text, const std::vector<TTag>& tags,
               std::vector<TTextProblem>& problems) {
  for (const TTag& tag : tags) {
    const TTagLookup lookup = LookUp(text, tag);
    if (!lookup.Key.empty() && lookup.Rows.empty())
      problems.push_back(UnknownTag(text, tag, lookup));
    if (FirstInnerTagIsCondition(lookup)) {
      if (auto why = ConditionProblem(text, tag.Inner.front())) problems.push_back(*why);
    }
    CheckTags(text, tag.Inner, problems);
  }
}

}  // namespace

std::vector<TTextProblem> CheckAnswer(std::string_view answer) {
  const std::u16string text = platform::AnsiToWide(answer);
  std::vector<TTextProblem> problems;
  const std::vector<TTag> tags = Parse(text, problems);
  CheckTags(text, tags, problems);
  return problems;
}

std::vector<TTextProblem> CheckCondition(std::string_view condition) {
  const std::u16string text = platform::AnsiToWide(condition);
  std::vector<TTextProblem> problems;
  const std::vector<TTag> tags = Parse(text, problems);
  CheckTags(text, tags, problems);
  if (!problems.empty()) return problems;
  const std::string written = platform::WideToAnsi(text);
  if (tags.empty()) {
    if (NormalizeText(text) != u"TRUE") {
      problems.push_back(Problem("condition-without-tag",
                                 "condition " + written + " has no tag, so it is never True"));
    }
  } else if (tags.size() == 1 && tags[0].Open == 0 && tags[0].Close + 1 == text.size()) {
    if (auto why = ConditionProblem(text, tags[0])) problems.push_back(*why);
  } else if (tags.size() == 1) {
    problems.push_back(
        Problem("text-around-condition",
                "condition " + written + " has text around its tag, so it is never exactly True"));
  }
  return problems;
}

}  // namespace parlevo
