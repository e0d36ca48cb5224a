// Keeping answers in blocks: a short answer goes at the end of the current
// block, or starts a new one; a long answer gets a block of its own, so the
// current one is not given up.
#include "data/answer_store.h"

#include <cstring>
#include <stdexcept>

namespace parlevo {

size_t TAnswerStore::AddBlock(size_t size) {
  if (blocks_.size() >> (32 - kPlaceBits) != 0) throw std::length_error("too many answers");
  blocks_.push_back(std::make_unique_for_overwrite<char[]>(size));
  return blocks_.size() - 1;
}

TStoredText TAnswerStore::Keep(std::string_view text) {
  if (text.empty()) return {};
  if (text.size() > UINT32_MAX) throw std::length_error("answer too long");
  const auto size = static_cast<uint32_t>(text.size());
  // Places are 16 bits: a long answer alone in its block starts at 0.
  if (text.size() > size_ - used_ && text.size() > kBlockBytes / 4) {
    const size_t own = AddBlock(text.size());
    std::memcpy(blocks_[own].get(), text.data(), text.size());
    return {static_cast<uint32_t>(own << kPlaceBits), size};
  }
  if (text.size() > size_ - used_) {
    current_ = AddBlock(kBlockBytes);
    size_ = kBlockBytes;
    used_ = 0;
  }
  const size_t place = used_;
  std::memcpy(blocks_[current_].get() + place, text.data(), text.size());
  used_ += text.size();
  return {static_cast<uint32_t>(current_ << kPlaceBits | place), size};
}

}  // namespace parlevo
