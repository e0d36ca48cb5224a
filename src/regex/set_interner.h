// Interning of integer sets for the subset constructions: every distinct set
// gets a small id. Sets live back to back in one array and are found through
// an open-addressing hash table, so interning allocates nothing per set.
#ifndef PARLEVO_REGEX_SET_INTERNER_H_
#define PARLEVO_REGEX_SET_INTERNER_H_

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

namespace parlevo {

// Not thread-safe; reused from one construction to the next.
class TbmRESetInterner {
 public:
  void Clear() {
    data_.clear();
    starts_.assign(1, 0);
    slots_.assign(16, -1);
  }
  // Sets will only be read for a while: gives back the lookup table and
  // the spare room of the sets (Intern makes the table again).
  void Compact() {
    slots_ = {};
    data_.shrink_to_fit();
    starts_.shrink_to_fit();
  }
  int32_t size() const { return static_cast<int32_t>(starts_.size()) - 1; }
  // Elements stored so far over all sets (a memory measure).
  size_t TotalElements() const { return data_.size(); }
  // Bytes held.
  size_t MemoryBytes() const {
    return (data_.capacity() + starts_.capacity() + slots_.capacity()) * sizeof(int32_t);
  }

  std::span<const int32_t> Get(int32_t id) const {
    return {data_.data() + starts_[id], static_cast<size_t>(starts_[id + 1] - starts_[id])};
  }

  // The id of `set`, and whether it was new.
  int32_t Intern(std::span<const int32_t> set, bool& added) {
    if (static_cast<size_t>(size() + 1) * 2 > slots_.size()) Grow();
    const size_t mask = slots_.size() - 1;
    for (size_t i = Hash(set) & mask;; i = (i + 1) & mask) {
      int32_t id = slots_[i];
      if (id < 0) {
        added = true;
        id = size();
        data_.insert(data_.end(), set.begin(), set.end());
        starts_.push_back(static_cast<int32_t>(data_.size()));
        slots_[i] = id;
        return id;
      }
      auto other = Get(id);
      if (other.size() == set.size() &&
          (set.empty() || std::memcmp(other.data(), set.data(), set.size() * 4) == 0)) {
        added = false;
        return id;
      }
    }
  }

 private:
  static size_t Hash(std::span<const int32_t> set) {
    uint64_t h = 0x9E3779B97F4A7C15ull ^ set.size();
    for (int32_t v : set) h = (h ^ static_cast<uint32_t>(v)) * 0x100000001B3ull;
    return static_cast<size_t>(h ^ (h >> 31));
  }
  void Grow() {
    std::vector<int32_t> old(std::max<size_t>(16, slots_.size() * 2), -1);
    while (static_cast<size_t>(size() + 1) * 2 > old.size()) old.resize(old.size() * 2, -1);
    old.swap(slots_);
    const size_t mask = slots_.size() - 1;
    for (int32_t id = 0; id < size(); ++id) {
      size_t i = Hash(Get(id)) & mask;
      while (slots_[i] >= 0) i = (i + 1) & mask;
      slots_[i] = id;
    }
  }

  std::vector<int32_t> data_;
  std::vector<int32_t> starts_{0};
  std::vector<int32_t> slots_ = std::vector<int32_t>(16, -1);
};

}  // namespace parlevo

#endif  // PARLEVO_REGEX_SET_INTERNER_H_
