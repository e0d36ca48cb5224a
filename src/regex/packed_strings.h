// A few byte strings kept back to back in one block, each with a small tag:
// what a compiled pattern keeps of its literals, at one allocation in all.
#ifndef PARLEVO_REGEX_PACKED_STRINGS_H_
#define PARLEVO_REGEX_PACKED_STRINGS_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace parlevo {

// Immutable once made. The block holds the count, then each string's end
// and tag, then the bytes: a compiled pattern holds one or two of these,
// and a personality holds a pattern per entry.
class TbmREPackedStrings {
 public:
  TbmREPackedStrings() = default;
  // `strings` in order; `tags` (empty, or one per string) go with them.
  explicit TbmREPackedStrings(const std::vector<std::string>& strings,
                              const std::vector<uint32_t>& tags = {});

  size_t size() const { return block_ ? block_[0] : 0; }
  bool empty() const { return size() == 0; }
  std::string_view operator[](size_t i) const {
    const uint32_t begin = i == 0 ? 0 : block_[i];
    return {Bytes() + begin, block_[i + 1] - begin};
  }
  uint32_t Tag(size_t i) const { return block_[1 + size() + i]; }
  std::vector<std::string> ToVector() const;

 private:
  const char* Bytes() const { return reinterpret_cast<const char*>(block_.get() + 1 + 2 * size()); }

  std::unique_ptr<uint32_t[]> block_;  // null: no strings
};

}  // namespace parlevo

#endif  // PARLEVO_REGEX_PACKED_STRINGS_H_
