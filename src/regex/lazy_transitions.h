// The transitions of a lazily built automaton that are not in its states'
// rows: (state, class) -> state in one open-addressing table.
#ifndef PARLEVO_REGEX_LAZY_TRANSITIONS_H_
#define PARLEVO_REGEX_LAZY_TRANSITIONS_H_

#include <cstddef>
#include <cstdint>
#include <vector>

namespace parlevo {

// A union of many patterns has thousands of character classes, and a state
// reads only a few of them: a row per state would be mostly empty.
// Not thread-safe.
class TbmRELazyTransitions {
 public:
  static constexpr int32_t kUnknown = -1;
  // Bytes one more transition may cost: a slot of 16 bytes, the table at
  // most half full, and twice that while it grows.
  static constexpr size_t kBytesPerEntry = 64;

  void Clear() {
    slots_ = decltype(slots_)();  // fresh: assigning {} would keep the storage
    used_ = 0;
  }
  int32_t Find(int32_t state, int32_t cls) const {
    if (slots_.empty()) return kUnknown;
    const uint64_t key = Key(state, cls);
    const size_t mask = slots_.size() - 1;
    for (size_t i = Hash(key) & mask;; i = (i + 1) & mask) {
      const Slot& slot = slots_[i];
      if (slot.target == kUnknown) return kUnknown;
      if (slot.key == key) return slot.target;
    }
  }
  // The pair must not be in the table yet.
  void Insert(int32_t state, int32_t cls, int32_t target) {
    if ((used_ + 1) * 2 > slots_.size()) Grow();
    Put(Key(state, cls), target);
    ++used_;
  }
  size_t MemoryBytes() const { return slots_.capacity() * sizeof(Slot); }

 private:
  struct Slot {
    uint64_t key = 0;
    int32_t target = kUnknown;
  };
  static uint64_t Key(int32_t state, int32_t cls) {
    return (uint64_t{static_cast<uint32_t>(state)} << 32) | static_cast<uint32_t>(cls);
  }
  static size_t Hash(uint64_t key) {
    key *= 0x9E3779B97F4A7C15ull;
    return static_cast<size_t>(key ^ (key >> 29));
  }
  void Put(uint64_t key, int32_t target) {
    const size_t mask = slots_.size() - 1;
    size_t i = Hash(key) & mask;
    while (slots_[i].target != kUnknown) i = (i + 1) & mask;
    slots_[i] = Slot{key, target};
  }
  void Grow() {
    std::vector<Slot> old(slots_.empty() ? 64 : slots_.size() * 2);
    old.swap(slots_);
    for (const Slot& slot : old) {
      if (slot.target != kUnknown) Put(slot.key, slot.target);
    }
  }

  std::vector<Slot> slots_;
  size_t used_ = 0;
};

}  // namespace parlevo

#endif  // PARLEVO_REGEX_LAZY_TRANSITIONS_H_
