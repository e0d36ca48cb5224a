// Packing a few byte strings into one block.
#include "regex/packed_strings.h"

#include <cstring>

namespace parlevo {

TbmREPackedStrings::TbmREPackedStrings(const std::vector<std::string>& strings,
                                       const std::vector<uint32_t>& tags) {
  if (strings.empty()) return;
  const size_t n = strings.size();
  size_t bytes = 0;
  for (const std::string& s : strings) bytes += s.size();
  const size_t words = 1 + 2 * n + (bytes + sizeof(uint32_t) - 1) / sizeof(uint32_t);
  block_ = std::make_unique<uint32_t[]>(words);  // zeroed: tags default to 0
  block_[0] = static_cast<uint32_t>(n);
  char* out = reinterpret_cast<char*>(block_.get() + 1 + 2 * n);
  uint32_t end = 0;
  for (size_t i = 0; i < n; ++i) {
    if (!strings[i].empty()) std::memcpy(out + end, strings[i].data(), strings[i].size());
    end += static_cast<uint32_t>(strings[i].size());
    block_[1 + i] = end;
    if (i < tags.size()) block_[1 + n + i] = tags[i];
  }
}

std::vector<std::string> TbmREPackedStrings::ToVector() const {
  std::vector<std::string> out;
  out.reserve(size());
  for (size_t i = 0; i < size(); ++i) out.emplace_back((*this)[i]);
  return out;
}

}  // namespace parlevo
