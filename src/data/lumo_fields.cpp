// How knowledge data fields become conditions and matchers: folded,
// "#" expanded, and patterns compiled with the engine's default settings.
#include "data/lumo_internal.h"
#include "data/text_helpers.h"
#include "platform/codepage.h"
#include "regex/rexp.h"

namespace parlevo::lumo {

std::string TreatField(std::string_view field) { return FoldEntryField(field); }

std::unique_ptr<TbmRExp> NewMatcher(const std::string& pattern, std::string& error) {
  auto matcher = std::make_unique<TbmRExp>();
  try {
    matcher->SetPattern(pattern);
  } catch (const EbmREToken& e) {
    error = e.Detail();
  }
  return matcher;
}

bool Compile(TbmRExp& matcher, std::string& error) {
  try {
    matcher.Found(std::string_view());
    return true;
  } catch (const EbmREToken& e) {
    error = e.Detail();
    return false;
  }
}

bool Check(TbmRExp& matcher, bool whole, std::string& error) {
  if (whole) return Compile(matcher, error);
  try {
    matcher.Parse();
    return true;
  } catch (const EbmREToken& e) {
    error = e.Detail();
    return false;
  }
}

}  // namespace parlevo::lumo
