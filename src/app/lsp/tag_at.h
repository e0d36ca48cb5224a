// The tag under a position of a line: the innermost braces around it, as the
// tag language nests them, for hover and completion.
#ifndef PARLEVO_APP_LSP_TAG_AT_H_
#define PARLEVO_APP_LSP_TAG_AT_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "engine/tag_table.h"

namespace parlevo::lsp {

struct TTagSpan {
  size_t Open = 0;         // index of the "{"
  size_t End = 0;          // one past the "}", or the line's end for a tag left open
  std::u16string Content;  // between the braces, inner tags as written
};

// The innermost tag whose braces hold UTF-16 index `index` of `line` (the
// index just past its "}" counts), or nothing.
std::optional<TTagSpan> TagAround(std::u16string_view line, size_t index);

// The "{" of the innermost tag still open at `index` (being typed), or nothing.
std::optional<size_t> OpenTagBefore(std::u16string_view line, size_t index);

// A row whose arguments begin with a memory slot number ("nn"): the memo,
// count and flag tags.
bool IsSlotRow(const TTagRow& row);

}  // namespace parlevo::lsp

#endif  // PARLEVO_APP_LSP_TAG_AT_H_
