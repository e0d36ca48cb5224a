// The dispatch of the tag language: the first character of a tag's key picks
// a group, the group's tests in order pick the tag function.
#ifndef PARLEVO_ENGINE_TAG_DISPATCH_H_
#define PARLEVO_ENGINE_TAG_DISPATCH_H_

#include <string>

#include "engine/tag_context.h"

namespace parlevo {

// Runs the tag function the key selects and returns its result; empty when
// no test holds. Tag functions may throw; the expander catches.
std::u16string DispatchTag(TTagContext& tag);

}  // namespace parlevo

#endif  // PARLEVO_ENGINE_TAG_DISPATCH_H_
