// The nearest known name to a misspelt one ("versoin" -> "version", or a
// tag from the tag table's names): edit distance, and when one is near enough.
#ifndef PARLEVO_DATA_NEAREST_NAME_H_
#define PARLEVO_DATA_NEAREST_NAME_H_

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace parlevo {

// A name is offered for a word at most this many edits away.
inline constexpr size_t kMostNameEdits = 2;

// Edits (insert, delete, replace) between `name` and `text`; "?" in the name
// stands for any one character.
size_t EditDistance(std::string_view name, std::u16string_view text);

// Whether a name `edits` away from a word is worth offering: it differs, by
// at most kMostNameEdits, and by fewer edits than the name is long.
bool IsNearName(size_t edits, size_t name_length);

// The nearest of `names` to `word` that is worth offering; ties go to the
// longer name, then to the first. None when none is near.
std::optional<std::string_view> NearestName(std::u16string_view word,
                                            const std::vector<std::string_view>& names);

}  // namespace parlevo

#endif  // PARLEVO_DATA_NEAREST_NAME_H_
