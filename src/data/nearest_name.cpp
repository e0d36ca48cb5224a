// Edit distance between a known name and a word, one row of the table at a
// time, and the choice of the nearest name among several.
#include "data/nearest_name.h"

#include <algorithm>

namespace parlevo {

size_t EditDistance(std::string_view name, std::u16string_view text) {
  std::vector<size_t> row(text.size() + 1);
  for (size_t j = 0; j <= text.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= name.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= text.size(); ++j) {
      const bool fits = name[i - 1] == '?' || char16_t(name[i - 1]) == text[j - 1];
      const size_t replace = diagonal + (fits ? 0 : 1);
      diagonal = row[j];
      row[j] = std::min({replace, row[j] + 1, row[j - 1] + 1});
    }
  }
  return row[text.size()];
}

bool IsNearName(size_t edits, size_t name_length) {
  return edits > 0 && edits <= kMostNameEdits && edits < name_length;
}

std::optional<std::string_view> NearestName(std::u16string_view word,
                                            const std::vector<std::string_view>& names) {
  std::optional<std::string_view> best;
  size_t best_edits = kMostNameEdits + 1;
  for (std::string_view name : names) {
    const size_t edits = EditDistance(name, word);
    if (!IsNearName(edits, name.size())) continue;
    if (edits < best_edits || (edits == best_edits && name.size() > best->size())) {
      best = name;
      best_edits = edits;
    }
  }
  return best;
}

}  // namespace parlevo
