// The LIKE tag's pattern cache. Bounded simply: when it is full the next new
// pattern clears it, so a personality that builds a new pattern on every call
// costs what it did without a cache, and memory stays fixed.
#include "engine/pattern_cache.h"

#include "regex/rexp.h"

namespace parlevo {

TPatternCache::TPatternCache() = default;
TPatternCache::~TPatternCache() = default;

bool TPatternCache::Found(std::string_view pattern, std::string_view text) {
  auto it = matchers_.find(std::string(pattern));
  if (it == matchers_.end()) {
    if (matchers_.size() >= kMaxCachedPatterns) matchers_.clear();
    auto matcher = std::make_unique<TbmRExp>();
    matcher->SetPattern(pattern);
    it = matchers_.emplace(std::string(pattern), std::move(matcher)).first;
  }
  if (!it->second) return false;
  try {
    return it->second->Found(text);
  } catch (const EbmREToken&) {
    it->second.reset();  // never asked again
    return false;
  }
}

}  // namespace parlevo
