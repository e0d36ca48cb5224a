// A pattern list file read into one set matcher: a line's index in the set
// is its line number less one, so what the set finds maps straight back.
#include "data/pattern_list.h"

#include "data/file_budget.h"
#include "platform/textfile.h"
#include "regex/rexp.h"
#include "regex/rexp_set.h"

namespace parlevo {

TPatternList::TPatternList(std::string_view path)
    : set_(std::make_unique<TbmRExpSet>(bmccDefaultCharCode())) {
  const std::vector<std::string> lines = platform::ReadTextLines(path, kMaxPersonalityFileBytes);
  for (size_t i = 0; i < lines.size(); ++i) {
    auto matcher = std::make_unique<TbmRExp>();
    matcher->SetPattern(lines[i]);
    try {
      matcher->Found(std::string_view());  // compiles it whole, automaton included
      set_->Add(matcher.get());
    } catch (const EbmREToken& e) {
      problems_.push_back({static_cast<int>(i + 1), e.Detail()});
      set_->Add(nullptr);
    }
    matchers_.push_back(std::move(matcher));
  }
  set_->Build();
}

TPatternList::~TPatternList() = default;

std::vector<int32_t> TPatternList::Find(std::string_view text) {
  std::vector<int32_t> found;
  set_->Find(text, found);
  for (int32_t& index : found) ++index;  // index i is line i + 1
  return found;
}

}  // namespace parlevo
