// Range refinement. AddRange(a, b) splits the record that straddles a and the
// one that straddles b, then fills every gap inside a..b with a new record.
// The list stays sorted and disjoint, and a..b becomes exactly the union of
// the consecutive records it covers; records outside a..b are untouched.
#include "regex/ranges.h"

#include <algorithm>
#include <utility>

namespace parlevo {

size_t TbmREWchRanges::FindRange(size_t from, size_t to, int32_t lo, int32_t hi) const {
  auto less = [](const TbmREWchRange& r, const TbmREWchRange& key) {
    return r.Lo < key.Lo || (r.Lo == key.Lo && r.Hi < key.Hi);
  };
  auto it =
      std::lower_bound(ranges_.begin() + from, ranges_.begin() + to, TbmREWchRange{lo, hi}, less);
  return static_cast<size_t>(it - ranges_.begin());
}

void TbmREWchRanges::AddRange(int32_t a, int32_t b) {
  // First record that ends at or after a: the only one that can straddle a.
  auto ends_before = [](const TbmREWchRange& r, int32_t v) { return r.Hi < v; };
  size_t i = std::lower_bound(ranges_.begin(), ranges_.end(), a, ends_before) - ranges_.begin();
  if (i < ranges_.size() && ranges_[i].Lo < a) {
    TbmREWchRange right{a, ranges_[i].Hi};
    ranges_[i].Hi = a - 1;
    ranges_.insert(ranges_.begin() + ++i, right);
  }
  // Walk the records inside a..b, filling the gaps before each of them.
  int32_t next = a;  // first value of a..b not yet covered
  while (next <= b) {
    if (i == ranges_.size() || ranges_[i].Lo > b) {
      ranges_.insert(ranges_.begin() + i, TbmREWchRange{next, b});
      return;
    }
    if (ranges_[i].Lo > next) {
      ranges_.insert(ranges_.begin() + i, TbmREWchRange{next, ranges_[i].Lo - 1});
      ++i;
    }
    if (ranges_[i].Hi > b) {  // straddles b: split it
      TbmREWchRange right{b + 1, ranges_[i].Hi};
      ranges_[i].Hi = b;
      ranges_.insert(ranges_.begin() + i + 1, right);
      return;
    }
    if (ranges_[i].Hi == b) return;
    next = ranges_[i].Hi + 1;
    ++i;
  }
}

void TbmREWchRanges::AddRanges(const TbmREWchRanges& other) {
  for (const auto& r : other.ranges_) AddRange(r.Lo, r.Hi);
}

// The records AddRange would leave are the stretches between consecutive
// boundaries (every range's Lo and Hi + 1, the records already there
// included) that some range covers: one sweep over the sorted boundaries.
void TbmREWchRanges::AddRangesAtOnce(std::vector<TbmREWchRange> ranges) {
  ranges.insert(ranges.end(), ranges_.begin(), ranges_.end());
  std::vector<std::pair<int64_t, int>> bounds;  // (value, +1 a range starts / -1 one ends)
  bounds.reserve(2 * ranges.size());
  for (const auto& r : ranges) {
    bounds.push_back({r.Lo, +1});
    bounds.push_back({int64_t{r.Hi} + 1, -1});
  }
  std::sort(bounds.begin(), bounds.end());
  ranges_.clear();
  int64_t covering = 0, from = 0;
  for (size_t i = 0; i < bounds.size();) {
    const int64_t at = bounds[i].first;
    if (covering > 0 && from < at) {
      ranges_.push_back({static_cast<int32_t>(from), static_cast<int32_t>(at - 1)});
    }
    for (; i < bounds.size() && bounds[i].first == at; ++i) covering += bounds[i].second;
    from = at;
  }
}

std::vector<TbmREWchRange> UniteRanges(std::vector<TbmREWchRange> ranges) {
  std::sort(ranges.begin(), ranges.end(), [](const TbmREWchRange& a, const TbmREWchRange& b) {
    return a.Lo < b.Lo || (a.Lo == b.Lo && a.Hi < b.Hi);
  });
  std::vector<TbmREWchRange> united;
  for (const auto& r : ranges) {
    if (!united.empty() && int64_t{r.Lo} <= int64_t{united.back().Hi} + 1) {
      united.back().Hi = std::max(united.back().Hi, r.Hi);
    } else {
      united.push_back(r);
    }
  }
  return united;
}

void TbmREWchRanges::AddAnyButNewline() {
  AddRange(0, 9);
  AddRange(11, 12);
  AddRange(14, 0xFFFF);
}

void TbmREWchRanges::AddNewlines() {
  AddRange(10, 10);
  AddRange(13, 13);
}

void TbmREWchRanges::Negate(int32_t lo, int32_t hi) {
  std::vector<TbmREWchRange> old;
  old.swap(ranges_);
  if (old.empty()) {
    ranges_.push_back({lo, hi});
    return;
  }
  if (lo < old.front().Lo) ranges_.push_back({lo, old.front().Lo - 1});
  for (size_t i = 1; i < old.size(); ++i) {
    if (old[i - 1].Hi + 1 <= old[i].Lo - 1) ranges_.push_back({old[i - 1].Hi + 1, old[i].Lo - 1});
  }
  if (old.back().Hi < hi) ranges_.push_back({old.back().Hi + 1, hi});
}

}  // namespace parlevo
