// The set matcher's analyses of its patterns, kept compactly from the time
// each is added until the set is built. A loader adds thousands of patterns
// and builds the set once; analysing each as it comes lets the pattern give
// back what parsing built at once, instead of every pattern holding it until
// the build.
#ifndef PARLEVO_REGEX_SET_RECORDS_H_
#define PARLEVO_REGEX_SET_RECORDS_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "regex/set_literals.h"

namespace parlevo {

class TbmRExp;

// Not thread-safe: one per set. Records are found by their pattern's
// address, so a pattern added twice is analysed once.
class TbmRESetRecords {
 public:
  bool Has(const TbmRExp* pattern) const { return Find(pattern) >= 0; }
  // Keeps `analysis` for `pattern` (one not kept yet).
  void Keep(const TbmRExp* pattern, const TbmRESetLiterals& analysis);
  // The analysis kept for `pattern` into `out` (its lists reused); false
  // when there is none.
  bool Get(const TbmRExp* pattern, TbmRESetLiterals& out) const;
  // Forgets every record and gives back their memory.
  void Clear();
  size_t MemoryBytes() const;

 private:
  // The record of `pattern`, or -1.
  int32_t Find(const TbmRExp* pattern) const;
  void Rehash(size_t slots);

  std::vector<const TbmRExp*> patterns_;  // per record
  std::vector<uint32_t> starts_;          // per record: where it starts in bytes_
  std::string bytes_;                     // the records back to back (see Keep)
  // Open addressing by pattern address: a record's number + 1 (0: empty).
  std::vector<uint32_t> slots_;
};

}  // namespace parlevo

#endif  // PARLEVO_REGEX_SET_RECORDS_H_
