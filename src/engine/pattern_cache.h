// The compiled patterns of the LIKE tag, kept by pattern text so that a tag
// asked again (every turn, as a rule) does not compile its pattern again.
#ifndef PARLEVO_ENGINE_PATTERN_CACHE_H_
#define PARLEVO_ENGINE_PATTERN_CACHE_H_

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

namespace parlevo {

class TbmRExp;

// At most this many patterns are kept; the next new one starts afresh.
inline constexpr size_t kMaxCachedPatterns = 64;

// Not thread-safe: it belongs to one character, used by one thread at a time.
class TPatternCache {
 public:
  TPatternCache();
  ~TPatternCache();
  TPatternCache(const TPatternCache&) = delete;
  TPatternCache& operator=(const TPatternCache&) = delete;

  // True when `pattern` (default settings) is found in `text`; a malformed
  // pattern is never found.
  bool Found(std::string_view pattern, std::string_view text);
  size_t size() const { return matchers_.size(); }

 private:
  // A null matcher stands for a pattern that does not compile.
  std::unordered_map<std::string, std::unique_ptr<TbmRExp>> matchers_;
};

}  // namespace parlevo

#endif  // PARLEVO_ENGINE_PATTERN_CACHE_H_
