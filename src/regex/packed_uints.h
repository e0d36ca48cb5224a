// A fixed-length array of unsigned numbers, each stored in as few bytes as
// the largest of them needs (one to four), for large tables of small ids.
#ifndef PARLEVO_REGEX_PACKED_UINTS_H_
#define PARLEVO_REGEX_PACKED_UINTS_H_

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace parlevo {

class TbmPackedUints {
 public:
  // `count` zeros, each able to hold up to `max_value`.
  void Assign(size_t count, uint32_t max_value) {
    width_ = max_value <= 0xFF ? 1 : max_value <= 0xFFFF ? 2 : max_value <= 0xFFFFFF ? 3 : 4;
    mask_ = width_ == 4 ? ~uint32_t{0} : (uint32_t{1} << (8 * width_)) - 1;
    // Three spare bytes: Get reads four bytes whatever the width.
    bytes_ = std::vector<uint8_t>(count * width_ + 3, 0);
  }

  uint32_t Get(size_t i) const {
    const uint8_t* p = bytes_.data() + i * width_;
    if constexpr (std::endian::native == std::endian::little) {
      uint32_t v;
      std::memcpy(&v, p, sizeof v);
      return v & mask_;
    } else {
      uint32_t v = 0;
      for (size_t k = width_; k-- > 0;) v = v << 8 | p[k];
      return v;
    }
  }

  void Set(size_t i, uint32_t v) {
    uint8_t* p = bytes_.data() + i * width_;
    for (size_t k = 0; k < width_; ++k, v >>= 8) p[k] = static_cast<uint8_t>(v);
  }

  size_t MemoryBytes() const { return bytes_.capacity(); }

 private:
  std::vector<uint8_t> bytes_;
  size_t width_ = 1;
  uint32_t mask_ = 0xFF;
};

}  // namespace parlevo

#endif  // PARLEVO_REGEX_PACKED_UINTS_H_
