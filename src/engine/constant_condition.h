// Conditions that always come out the same, judged as written from the tag
// table's description of what each tag gives: comparisons of fixed values,
// values a tag never gives (hour 25, a weekday name it does not use), and
// comparisons given more operands than they take.
#ifndef PARLEVO_ENGINE_CONSTANT_CONDITION_H_
#define PARLEVO_ENGINE_CONSTANT_CONDITION_H_

#include <optional>
#include <string>
#include <string_view>

namespace parlevo {

// A tag whose truth value is known before it runs.
struct TConstantTruth {
  bool Value = false;
  std::string Why;  // ANSI: "HOUR gives 0 to 23", "it compares fixed values"
};

// `tag` is one whole tag as written, "{" to "}", inner tags in braces.
// Nothing when its value may depend on the moment, when it is no truth tag,
// or when `tag` is not one whole tag.
std::optional<TConstantTruth> ConstantTruth(std::u16string_view tag);

// Why a comparison or connective `tag` (as above) holds more operands than it
// takes ("|" outside inner tags more than once), ANSI; nothing when it does not.
std::optional<std::string> WrongArity(std::u16string_view tag);

}  // namespace parlevo

#endif  // PARLEVO_ENGINE_CONSTANT_CONDITION_H_
