// Keeping answers in blocks: an answer goes at the end of the last block, or
// starts a new one; an answer larger than a block gets a block of its own.
#include "data/answer_store.h"

#include <algorithm>
#include <cstring>

namespace parlevo {

std::string_view TAnswerStore::Keep(std::string_view text) {
  if (text.empty()) return {};
  if (text.size() > size_ - used_) {
    // A long answer gets its own block, so the current one is not given up.
    if (text.size() > kBlockBytes / 4 && !blocks_.empty()) {
      auto own = std::make_unique_for_overwrite<char[]>(text.size());
      std::memcpy(own.get(), text.data(), text.size());
      const std::string_view kept(own.get(), text.size());
      blocks_.insert(blocks_.end() - 1, std::move(own));  // the last block stays last
      return kept;
    }
    size_ = std::max(kBlockBytes, text.size());
    blocks_.push_back(std::make_unique_for_overwrite<char[]>(size_));
    used_ = 0;
  }
  char* at = blocks_.back().get() + used_;
  std::memcpy(at, text.data(), text.size());
  used_ += text.size();
  return {at, text.size()};
}

}  // namespace parlevo
