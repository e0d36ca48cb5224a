// Which bytes of a double-byte text start characters, marked from the start
// as far as asked, so that asking about every position costs linear time;
// and whether a character boundary is a line head or a line tail.
#ifndef PARLEVO_REGEX_CHAR_BOUNDARIES_H_
#define PARLEVO_REGEX_CHAR_BOUNDARIES_H_

#include <cstddef>
#include <cstdint>
#include <vector>

namespace parlevo {

// Walking back over a run of lead bytes to count its parity would cost the
// run's length for every question: quadratic on a long run. Marking forward
// once answers each question in constant time on average.
class TbmRECharBoundaries {
 public:
  // `scratch` holds the marks; it is grown to the text and reused by the
  // caller's next text.
  TbmRECharBoundaries(const uint8_t* text, size_t n, const bool* is_lead,
                      std::vector<uint8_t>& scratch)
      : text_(text), n_(n), is_lead_(is_lead) {
    if (scratch.size() < n + 1) scratch.resize(n + 1);
    flags_ = scratch.data();
  }

  // Byte `pos` starts a character (pos < n). A lead byte at the end is one
  // character.
  bool Starts(size_t pos) {
    while (marked_ <= pos) {
      flags_[marked_] = 1;
      if (is_lead_[text_[marked_]] && marked_ + 1 < n_) {
        flags_[marked_ + 1] = 0;
        marked_ += 2;
      } else {
        marked_ += 1;
      }
    }
    return flags_[pos] != 0;
  }

 private:
  const uint8_t* text_;
  size_t n_;
  const bool* is_lead_;
  uint8_t* flags_;
  size_t marked_ = 0;  // every byte before it is marked
};

// True when byte `pos` (a character boundary) is a line head: the start, or
// right after LF, or after a CR that no LF follows.
inline bool AtLineHead(const uint8_t* text, size_t n, size_t pos, TbmRECharBoundaries& boundaries) {
  if (pos == 0) return true;
  const uint8_t before = text[pos - 1];
  if (before != '\n' && before != '\r') return false;
  if (!boundaries.Starts(pos - 1)) return false;  // a trail byte, not a break
  return before == '\n' || pos == n || text[pos] != '\n';
}

// True when byte `end` (a character boundary) is a line tail: the end, or
// right before LF or CR.
inline bool AtLineTail(const uint8_t* text, size_t n, size_t end) {
  return end == n || text[end] == '\n' || text[end] == '\r';
}

}  // namespace parlevo

#endif  // PARLEVO_REGEX_CHAR_BOUNDARIES_H_
