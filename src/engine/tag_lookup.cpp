// Looking up a tag as written. Every test of a row is asked three-valued:
// it fails, it holds whatever the inner tags give, or it may hold. The rows
// that may hold are kept in order until one surely holds, as the dispatch
// would stop there.
#include "engine/tag_lookup.h"

#include <algorithm>

#include "data/nearest_name.h"
#include "data/text_helpers.h"

namespace parlevo {
namespace {

enum class TFit { kNo, kMaybe, kSure };

TFit Both(TFit a, TFit b) {
  if (a == TFit::kNo || b == TFit::kNo) return TFit::kNo;
  return a == TFit::kSure && b == TFit::kSure ? TFit::kSure : TFit::kMaybe;
}

// The content with each inner tag replaced by one kInnerTag.
std::u16string WithInnerTags(std::u16string_view content) {
  std::u16string key;
  int depth = 0;
  for (char16_t c : content) {
    if (c == u'{') {
      if (depth++ == 0) key += kInnerTag;
    } else if (c == u'}' && depth > 0) {
      --depth;
    } else if (depth == 0) {
      key += c;
    }
  }
  return key;
}

bool CharFits(char name, char16_t key) { return name == '?' || char16_t(name) == key; }

// Whether the key, its inner tags standing for any text, can begin with the
// name: sure when its literal start covers the name.
TFit PrefixFits(std::string_view name, std::u16string_view key) {
  for (size_t i = 0; i < name.size(); ++i) {
    if (i == key.size()) return TFit::kNo;
    if (key[i] == kInnerTag) return TFit::kMaybe;
    if (!CharFits(name[i], key[i])) return TFit::kNo;
  }
  return TFit::kSure;
}

// Whether the key, its inner tags standing for any text, can be the name:
// a wildcard match (inner tag = any run), greedy with a step back to the
// last inner tag, linear in practice.
TFit ExactFits(std::string_view name, std::u16string_view key) {
  if (key.find(kInnerTag) == std::u16string_view::npos) {
    if (key.size() != name.size()) return TFit::kNo;
    return PrefixFits(name, key);
  }
  size_t k = 0, n = 0, star = std::u16string_view::npos, resume = 0;
  while (n < name.size()) {
    if (k < key.size() && key[k] == kInnerTag) {
      star = k++;
      resume = n;
    } else if (k < key.size() && CharFits(name[n], key[k])) {
      ++k;
      ++n;
    } else if (star != std::u16string_view::npos) {
      k = star + 1;
      n = ++resume;
    } else {
      return TFit::kNo;
    }
  }
  while (k < key.size() && key[k] == kInnerTag) ++k;
  return k == key.size() ? TFit::kMaybe : TFit::kNo;
}

TFit RowFit(const TTagRow& row, std::u16string_view key, bool inner, size_t literals) {
  const bool bar = key.find(u'|') != std::u16string_view::npos;
  TFit fit =
      row.Match == TTagNameMatch::kExact ? ExactFits(row.Name, key) : PrefixFits(row.Name, key);
  if (row.NeedsBar) fit = Both(fit, bar ? TFit::kSure : inner ? TFit::kMaybe : TFit::kNo);
  if (literals < row.MinLength) fit = Both(fit, inner ? TFit::kMaybe : TFit::kNo);
  return fit;
}

}  // namespace

std::optional<TTagSuggestion> NearestTagName(std::u16string_view key) {
  // Only the literal start of the key can be told apart from an argument.
  const std::u16string_view literal = key.substr(0, key.find(kInnerTag));
  std::optional<TTagSuggestion> best;
  size_t best_edits = kMostNameEdits + 1;
  for (const TTagRow& row : TagRows()) {
    if (!row.Listed) continue;
    const size_t name = row.Name.size();
    // An exact name is the whole key; a prefix is followed by its arguments,
    // so the pieces one edit or two shorter or longer are tried.
    size_t shortest =
        row.Match == TTagNameMatch::kExact ? key.size() : name - std::min(name, kMostNameEdits);
    size_t longest = row.Match == TTagNameMatch::kExact ? key.size() : name + kMostNameEdits;
    if (longest > literal.size()) longest = literal.size();
    for (size_t length = std::max<size_t>(shortest, 1); length <= longest; ++length) {
      const size_t edits = EditDistance(row.Name, literal.substr(0, length));
      // Ties go to the longer name, which says more, then to table order.
      const bool better =
          edits < best_edits || (edits == best_edits && best && name > best->Name.size());
      if (!IsNearName(edits, name) || !better) continue;
      best = TTagSuggestion{row.Name, length};
      best_edits = edits;
    }
  }
  return best;
}

TTagLookup LookUpTag(std::u16string_view content) {
  TTagLookup lookup;
  lookup.Key = NormalizeText(WithInnerTags(content));
  const size_t inner = size_t(std::count(lookup.Key.begin(), lookup.Key.end(), kInnerTag));
  for (const TTagRow& row : TagRows()) {
    const TFit fit = RowFit(row, lookup.Key, inner > 0, lookup.Key.size() - inner);
    if (fit == TFit::kNo) continue;
    lookup.Rows.push_back(&row);
    if (fit == TFit::kSure) {
      lookup.Sure = true;
      break;
    }
  }
  return lookup;
}

TTagResult LookedUpResult(const TTagLookup& lookup) {
  if (lookup.Rows.empty()) return TTagResult::kText;
  const TTagResult first = lookup.Rows.front()->Result;
  for (const TTagRow* row : lookup.Rows) {
    if (row->Result != first) return TTagResult::kText;
  }
  return first;
}

}  // namespace parlevo
