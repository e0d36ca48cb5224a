// The dispatch of the tag language: the tag table selects the row for a
// tag's key and its function runs.
#ifndef PARLEVO_ENGINE_TAG_DISPATCH_H_
#define PARLEVO_ENGINE_TAG_DISPATCH_H_

#include <string>

#include "engine/tag_context.h"

namespace parlevo {

// Runs the tag function the key selects and returns its result; empty when
// no row's tests hold. Tag functions may throw; the expander catches.
std::u16string DispatchTag(TTagContext& tag);

}  // namespace parlevo

#endif  // PARLEVO_ENGINE_TAG_DISPATCH_H_
