// A tag looked up as an author wrote it (for check and the language
// server): its inner tags may give any text, so several rows may select it.
#ifndef PARLEVO_ENGINE_TAG_LOOKUP_H_
#define PARLEVO_ENGINE_TAG_LOOKUP_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/tag_table.h"

namespace parlevo {

// Stands for an inner tag's result inside a key.
constexpr char16_t kInnerTag = 0x0001;

struct TTagLookup {
  std::u16string Key;                // folded content, each inner tag one kInnerTag
  std::vector<const TTagRow*> Rows;  // the rows that may select it, in dispatch order
  bool Sure = false;                 // the last row is selected whatever the inner tags give
};

// `content` is the text between a tag's braces, its inner tags written in
// braces (one left open runs to the end). No rows: no tag function has this
// name, whatever the inner tags give.
TTagLookup LookUpTag(std::u16string_view content);

// What the rows of `lookup` give: their one result kind, or kText when they
// differ or there are none.
TTagResult LookedUpResult(const TTagLookup& lookup);

// A known name close to the start of an unknown tag's folded key: `Name`
// would replace the key's first `Replaced` characters (no inner tag among
// them). Close means at most two edits, fewer than the name is long.
struct TTagSuggestion {
  std::string_view Name;
  size_t Replaced = 0;
};
std::optional<TTagSuggestion> NearestTagName(std::u16string_view key);

}  // namespace parlevo

#endif  // PARLEVO_ENGINE_TAG_LOOKUP_H_
