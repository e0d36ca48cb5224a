// The engine against the reference matcher, one question at a time.
#include "common/reference_compare.h"

#include <algorithm>
#include <memory>

#include "common/reference_matcher.h"
#include "regex/rexp.h"
#include "regex/rexp_set.h"

namespace parlevo::reference {

namespace {

// What the engine says of one search: a match (1-based), none, or an error.
struct EngineAnswer {
  bool error = false;
  bool budget = false;  // refused by a size budget, not by the syntax
  int kind = 0;         // the error's token kind
  int32_t pos = 0, len = 0;
  bool found = false;
};

EngineAnswer AskEngine(TbmCharCode code, std::string_view pattern, std::string_view text,
                       int32_t from) {
  EngineAnswer a;
  TbmRExp rexp(code);
  rexp.SetPattern(pattern);
  try {
    rexp.Match(text, from + 1, a.pos, a.len);
    a.found = rexp.Found(text);
  } catch (const EbmREToken& e) {
    a.error = true;
    a.budget = !e.Budget.empty();
    a.kind = static_cast<int>(e.Token.Kind);
  }
  return a;
}

std::string Describe(TbmCharCode code, std::string_view pattern, std::string_view text,
                     int32_t from) {
  return std::string(bmccCharCodeName(code)) + " pattern \"" + Printable(pattern) + "\" text \"" +
         Printable(text) + "\" from " + std::to_string(from) + ": ";
}

}  // namespace

std::string Printable(std::string_view bytes) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char ch : bytes) {
    const auto b = static_cast<uint8_t>(ch);
    if (b >= 0x20 && b < 0x7F && b != '\\') {
      out += ch;
    } else {
      out += "\\x";
      out += kHex[b >> 4];
      out += kHex[b & 15];
    }
  }
  return out;
}

std::string CompareMatch(TbmCharCode code, std::string_view pattern, std::string_view text,
                         int32_t from) {
  const EngineAnswer engine = AskEngine(code, pattern, text, from);
  if (engine.budget) return {};
  const Matcher reference(code, pattern);
  if (engine.error || reference.Error() != SyntaxError::kNone) {
    const int expected = static_cast<int>(reference.Error());
    if (engine.error && engine.kind == expected) return {};
    return Describe(code, pattern, text, from) + "engine error " +
           (engine.error ? std::to_string(engine.kind) : "none") + ", reference error " +
           std::to_string(expected);
  }
  const Outcome ref = reference.Search(text, from);
  if (ref.status == Outcome::kSkipped) return {};
  const int32_t want_pos = ref.status == Outcome::kMatch ? ref.pos + 1 : 0;
  const int32_t want_len = ref.status == Outcome::kMatch ? ref.len : 0;
  std::string diff;
  if (engine.pos != want_pos || engine.len != want_len) {
    diff = "engine " + std::to_string(engine.pos) + "+" + std::to_string(engine.len) +
           ", reference " + std::to_string(want_pos) + "+" + std::to_string(want_len);
  }
  const Outcome whole = from == 0 ? ref : reference.Search(text, 0);
  if (whole.status != Outcome::kSkipped && engine.found != (whole.status == Outcome::kMatch)) {
    diff += std::string(diff.empty() ? "" : "; ") + "Found " + (engine.found ? "true" : "false");
  }
  return diff.empty() ? diff : Describe(code, pattern, text, from) + diff;
}

std::string CompareSet(TbmCharCode code, const std::vector<std::string>& patterns,
                       const std::vector<std::string>& texts) {
  std::vector<std::unique_ptr<TbmRExp>> matchers;
  std::vector<Matcher> references;
  std::vector<bool> refused;  // by a size budget: nothing known
  TbmRExpSet set(code);
  for (const auto& p : patterns) {
    matchers.push_back(std::make_unique<TbmRExp>(code));
    matchers.back()->SetPattern(p);
    set.Add(matchers.back().get());
    references.emplace_back(code, p);
    refused.push_back(AskEngine(code, p, "", 0).budget);
  }
  std::string diff;
  std::vector<int32_t> found;
  for (const auto& text : texts) {
    set.Find(text, found);
    for (size_t i = 0; i < patterns.size(); ++i) {
      const Outcome ref = references[i].Search(text, 0);
      if (refused[i] || ref.status == Outcome::kSkipped) continue;
      const bool want = ref.status == Outcome::kMatch;
      const bool got = std::binary_search(found.begin(), found.end(), static_cast<int32_t>(i));
      if (want != got) {
        diff += "\n  pattern " + std::to_string(i) + " \"" + Printable(patterns[i]) + "\" " +
                (got ? "found" : "not found") + " in \"" + Printable(text) + "\"";
      }
    }
  }
  return diff.empty() ? diff : "set of " + std::to_string(patterns.size()) + " patterns:" + diff;
}

}  // namespace parlevo::reference
