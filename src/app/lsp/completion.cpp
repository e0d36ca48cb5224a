// Completion: tag names from the tag table after "{", slot numbers after a
// memo, count or flag tag, the keys of a base file on its key lines and the
// data folder's files in its data lists.
#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>

#include "app/lsp/base_file_text.h"
#include "app/lsp/features.h"
#include "app/lsp/tag_at.h"
#include "data/text_helpers.h"
#include "engine/character.h"
#include "engine/tag_table.h"
#include "platform/codepage.h"

namespace parlevo::lsp {
namespace {

// The kinds of completion items the protocol numbers.
constexpr int kFunctionItem = 3;
constexpr int kValueItem = 12;
constexpr int kFileItem = 17;
constexpr int kPropertyItem = 10;

// At most this many file names are offered from one data folder.
constexpr size_t kMaxFileItems = 1000;

Json Item(std::string label, int kind, std::string detail, const Json& range) {
  Json item = {
      {"label", label}, {"kind", kind}, {"textEdit", {{"range", range}, {"newText", label}}}};
  if (!detail.empty()) item["detail"] = std::move(detail);
  return item;
}

bool IsNameCharacter(char16_t c) { return c != u'{' && c != u'}' && c != u'|' && c != u' '; }

// Every tag name the guides list, once.
Json TagNames(const Json& range) {
  Json items = Json::array();
  std::set<std::string_view> seen;
  for (const TTagRow& row : TagRows()) {
    if (!row.Listed || row.Name.find('?') != std::string_view::npos) continue;
    if (!seen.insert(row.Name).second) continue;
    Json item = Item(std::string(row.Name), kFunctionItem, std::string(row.Arguments), range);
    item["documentation"] = std::string(row.SummaryEn) + "\n" + std::string(row.SummaryJa);
    items.push_back(std::move(item));
  }
  return items;
}

// The memory tag row whose name `typed` (folded) begins with, slot digits
// only after it.
const TTagRow* SlotRowTyped(std::u16string_view typed) {
  for (const TTagRow& row : TagRows()) {
    if (!IsSlotRow(row) || typed.size() < row.Name.size()) continue;
    if (platform::WideToAnsi(typed.substr(0, row.Name.size())) != row.Name) continue;
    const std::u16string_view rest = typed.substr(row.Name.size());
    if (std::all_of(rest.begin(), rest.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; })) {
      return &row;
    }
  }
  return nullptr;
}

Json SlotNumbers(const Json& range, std::u16string_view typed, const TTagRow& row) {
  Json items = Json::array();
  const std::string name = platform::WideToUtf8(typed.substr(0, row.Name.size()));
  for (int slot = 0; slot < TCharacter::kMemorySlots; ++slot) {
    items.push_back(Item(name + std::to_string(slot), kValueItem,
                         slot >= 50 ? "kept in the state file" : "not kept between runs", range));
  }
  return items;
}

Json InTag(const TDocumentRequest& request, const TLineAt& at, size_t open) {
  const std::u16string_view typed =
      std::u16string_view(at.Text).substr(open + 1, at.Index - open - 1);
  if (!std::all_of(typed.begin(), typed.end(), IsNameCharacter)) return nullptr;
  const Json range =
      RangeJson(request.Document.Lines, at.Line, open + 1, at.Index, request.Encoding);
  const std::u16string folded = NormalizeText(typed);
  if (const TTagRow* row = SlotRowTyped(folded)) return SlotNumbers(range, typed, *row);
  return TagNames(range);
}

Json Keys(const TDocumentRequest& request, const TLineAt& at) {
  Json items = Json::array();
  const Json range =
      RangeJson(request.Document.Lines, at.Line, 0, at.Text.size(), request.Encoding);
  for (const std::string_view key : BaseFileKeys()) {
    items.push_back(Item(std::string(key), kPropertyItem, "", range));
  }
  return items;
}

Json DataFileNames(const TDocumentRequest& request, const TLineAt& at) {
  const TNameSpan name = NameAround(at.Text, at.Index);
  const Json range =
      RangeJson(request.Document.Lines, at.Line, name.Begin, name.End, request.Encoding);
  std::vector<std::string> names;
  std::error_code error;
  for (std::filesystem::directory_iterator it(DataFolderOf(request.Document), error), end;
       !error && it != end && names.size() < kMaxFileItems; it.increment(error)) {
    std::error_code kind_error;
    if (it->is_regular_file(kind_error)) names.push_back(it->path().filename().string());
  }
  std::sort(names.begin(), names.end());
  Json items = Json::array();
  for (std::string& file : names) items.push_back(Item(std::move(file), kFileItem, "", range));
  return items;
}

}  // namespace

Json Completion(const TDocumentRequest& request, const Json& position) {
  const TLineAt at = LineAt(request.Document.Lines, position, request.Encoding);
  if (request.Belonging.Kind == TDocumentKind::kBaseFile) {
    if (IsKeyLine(at.Line)) return Keys(request, at);
    const std::optional<std::string> key = KeyOfValueLine(request.Document.Lines, at.Line);
    if (key && IsDataKey(*key)) return DataFileNames(request, at);
    return Json::array();
  }
  if (const std::optional<size_t> open = OpenTagBefore(at.Text, at.Index)) {
    const Json items = InTag(request, at, *open);
    if (!items.is_null()) return items;
  }
  return Json::array();
}

}  // namespace parlevo::lsp
