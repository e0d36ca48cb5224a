// A pattern list file read into one set matcher. Blank lines hold no pattern
// and lines that repeat a pattern share its matcher, so what the list holds
// grows with its distinct patterns, not with its lines.
#include "data/pattern_list.h"

#include <unordered_map>

#include "data/personality_text.h"
#include "regex/rexp.h"
#include "regex/rexp_set.h"

namespace parlevo {

TPatternList::TPatternList(std::string_view path)
    : set_(std::make_unique<TbmRExpSet>(bmccDefaultCharCode())) {
  const std::vector<std::string> patterns = ReadPersonalityText(path).Lines;
  // The set searches a pattern added twice once and finds it for both.
  std::unordered_map<std::string_view, TbmRExp*> seen;
  int line = 0;
  for (const std::string& pattern : patterns) {
    ++line;
    if (pattern.empty()) continue;
    TbmRExp*& matcher = seen[pattern];
    if (matcher == nullptr) matcher = Compile(pattern, line);
    if (matcher == nullptr) continue;  // does not compile: never found
    set_->Add(matcher);
    lines_.push_back(line);
  }
  set_->Build();
}

TPatternList::~TPatternList() = default;

TbmRExp* TPatternList::Compile(std::string_view pattern, int line) {
  auto matcher = std::make_unique<TbmRExp>();
  matcher->SetPattern(pattern);
  try {
    matcher->Found(std::string_view());  // compiles it whole, automaton included
  } catch (const EbmREToken& e) {
    problems_.push_back({line, e.Detail()});
    return nullptr;
  }
  matchers_.push_back(std::move(matcher));
  return matchers_.back().get();
}

std::vector<int32_t> TPatternList::Find(std::string_view text) {
  std::vector<int32_t> found;
  set_->Find(text, found);
  for (int32_t& index : found) index = lines_[static_cast<size_t>(index)];
  return found;
}

}  // namespace parlevo
