// Hover on a tag: the rows of the tag table that may select it, with their
// arguments and summaries; on a memo, count or flag tag also the slot's value
// in the character's state file.
#include <cctype>
#include <string>

#include "app/lsp/features.h"
#include "app/lsp/memory_slots.h"
#include "app/lsp/tag_at.h"
#include "engine/tag_lookup.h"
#include "platform/codepage.h"

namespace parlevo::lsp {
namespace {

// "{NAME args}" and the summaries, one paragraph per row.
std::string RowText(const TTagRow& row) {
  std::string text = "`{" + std::string(row.Name);
  if (!row.Arguments.empty()) {
    text += row.Match == TTagNameMatch::kPrefix ? "" : " ";
    text += std::string(row.Arguments);
  }
  return text + "}`: " + std::string(row.SummaryEn) + "  \n" + std::string(row.SummaryJa);
}

// The slot a memory tag's key names ("COUNT50++" → 50), or nothing.
std::optional<int> SlotOf(const TTagRow& row, std::u16string_view key) {
  if (!IsSlotRow(row) || key.size() <= row.Name.size()) return std::nullopt;
  int slot = 0;
  size_t digits = 0;
  for (size_t i = row.Name.size(); i < key.size() && digits < 3; ++i, ++digits) {
    if (key[i] < u'0' || key[i] > u'9') break;
    slot = slot * 10 + (key[i] - u'0');
  }
  if (digits == 0) return std::nullopt;
  return slot;
}

std::string UnknownText(const TTagLookup& lookup) {
  std::string text = "No tag function has this name.";
  if (const std::optional<TTagSuggestion> nearest = NearestTagName(lookup.Key)) {
    text += " Did you mean `{" + std::string(nearest->Name) + "`…`}`?";
  }
  return text;
}

}  // namespace

Json Hover(const TDocumentRequest& request, const Json& position, TMemorySlots& slots) {
  const TLineAt at = LineAt(request.Document.Lines, position, request.Encoding);
  const std::optional<TTagSpan> tag = TagAround(at.Text, at.Index);
  if (!tag) return nullptr;
  const TTagLookup lookup = LookUpTag(tag->Content);
  std::string text;
  if (lookup.Rows.empty()) text = UnknownText(lookup);
  for (const TTagRow* row : lookup.Rows) {
    text += (text.empty() ? "" : "\n\n") + RowText(*row);
  }
  if (lookup.Rows.size() == 1 && !request.Belonging.BaseFiles.empty()) {
    if (const std::optional<int> slot = SlotOf(*lookup.Rows[0], lookup.Key)) {
      for (const std::string& base_file : request.Belonging.BaseFiles) {
        text += "\n\n" + slots.Describe(base_file, lookup.Rows[0]->Result, *slot);
      }
    }
  }
  return {
      {"contents", {{"kind", "markdown"}, {"value", text}}},
      {"range", RangeJson(request.Document.Lines, at.Line, tag->Open, tag->End, request.Encoding)}};
}

}  // namespace parlevo::lsp
