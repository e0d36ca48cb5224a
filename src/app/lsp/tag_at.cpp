// Finding braces around a position: one pass over the line with a stack of
// the braces still open, as the expander pairs them.
#include "app/lsp/tag_at.h"

#include <vector>

namespace parlevo::lsp {

std::optional<TTagSpan> TagAround(std::u16string_view line, size_t index) {
  std::vector<size_t> open;
  std::optional<TTagSpan> best;
  auto consider = [&](size_t from, size_t end, size_t content_end) {
    if (from > index || index > end) return;
    if (best && best->Open > from) return;
    best = TTagSpan{from, end, std::u16string(line.substr(from + 1, content_end - from - 1))};
  };
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == u'{') {
      open.push_back(i);
    } else if (line[i] == u'}' && !open.empty()) {
      consider(open.back(), i + 1, i);
      open.pop_back();
    }
  }
  for (const size_t from : open) consider(from, line.size(), line.size());
  return best;
}

std::optional<size_t> OpenTagBefore(std::u16string_view line, size_t index) {
  std::vector<size_t> open;
  for (size_t i = 0; i < index && i < line.size(); ++i) {
    if (line[i] == u'{') {
      open.push_back(i);
    } else if (line[i] == u'}' && !open.empty()) {
      open.pop_back();
    }
  }
  if (open.empty()) return std::nullopt;
  return open.back();
}

bool IsSlotRow(const TTagRow& row) {
  return row.Match == TTagNameMatch::kPrefix && row.Arguments.substr(0, 2) == "nn";
}

}  // namespace parlevo::lsp
