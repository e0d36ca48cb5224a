// The answers of a knowledge data object (and its matchers' pattern texts),
// kept side by side in large blocks rather than one heap string each: an
// entry holds where its answer is, half the size of a view.
#ifndef PARLEVO_DATA_ANSWER_STORE_H_
#define PARLEVO_DATA_ANSWER_STORE_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace parlevo {

// Where a store keeps a text: its block and the place in it, and its size.
// Only the store that gave it reads it (TAnswerStore::View).
struct TStoredText {
  uint32_t At = 0;  // block << kPlaceBits | place
  uint32_t Size = 0;
};

// Append-only; a text it keeps stays where it is as long as the store
// (blocks are never moved or freed before it).
class TAnswerStore {
 public:
  // A copy of `text` kept in the store. Throws std::length_error past the
  // blocks a place can name (4 GiB of short texts).
  TStoredText Keep(std::string_view text);
  std::string_view View(TStoredText kept) const {
    if (kept.Size == 0) return {};
    return {blocks_[kept.At >> kPlaceBits].get() + (kept.At & (kBlockBytes - 1)), kept.Size};
  }

 private:
  static constexpr unsigned kPlaceBits = 16;
  static constexpr size_t kBlockBytes = size_t{1} << kPlaceBits;
  // Adds a block of `size` bytes; its index.
  size_t AddBlock(size_t size);

  std::vector<std::unique_ptr<char[]>> blocks_;
  size_t current_ = 0;  // the block short texts are packed into
  size_t used_ = 0;     // bytes used of it
  size_t size_ = 0;     // its size (0: none yet)
};

}  // namespace parlevo

#endif  // PARLEVO_DATA_ANSWER_STORE_H_
