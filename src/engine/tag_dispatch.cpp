// The dispatch of the tag language: the tag table selects the row for a
// tag's key and its function runs.
#include "engine/tag_dispatch.h"

#include "engine/tag_table.h"

namespace parlevo {

std::u16string DispatchTag(TTagContext& tag) {
  const TTagRow* row = FindTagRow(tag.Key);
  return row ? row->Call(tag) : std::u16string();
}

}  // namespace parlevo
