// The dispatch of the tag language: the first character of a tag's key picks
// a group, the group's tests in order pick the tag function.
#include "engine/tag_dispatch.h"

namespace parlevo {

std::u16string DispatchTag(TTagContext& tag) {
  (void)tag;
  return {};
}

}  // namespace parlevo
