// The candidates of one knowledge data search and the random choice among
// them, re-seeded from the clock before every draw.
#include "data/answer_list.h"

#include <algorithm>
#include <climits>

#include "platform/random.h"

namespace parlevo {

namespace {

// A search may scan many entries but usually finds few candidates: reserve
// for the common case only.
constexpr int32_t kMaxInitialReserve = 64;

// The elements of the sorted [first, last) at or below v: a bisection whose
// steps choose without branching, so that the unpredictable comparisons of
// a draw cost no missed branches.
size_t CountAtMost(const int32_t* first, const int32_t* last, int32_t v) {
  size_t n = static_cast<size_t>(last - first);
  if (n == 0) return 0;
  const int32_t* base = first;
  while (n > 1) {
    const size_t half = n / 2;
    base = base[half] <= v ? base + half : base;
    n -= half;
  }
  return static_cast<size_t>(base - first) + (*base <= v ? 1 : 0);
}

}  // namespace

TAnswerList::TAnswerList(int32_t grow_by) {
  Items.reserve(static_cast<size_t>(std::clamp(grow_by, 0, kMaxInitialReserve)));
}

void TAnswerList::AddRun(std::span<const int32_t> run) {
  if (run.empty()) return;
  Runs.push_back({run.data(), run.front(), static_cast<int32_t>(run.size())});
  RunTotal += static_cast<int32_t>(run.size());
}

void TAnswerList::AddInterval(int32_t begin, int32_t end) {
  if (end <= begin) return;
  Runs.push_back({nullptr, begin, end - begin});
  RunTotal += end - begin;
}

void TAnswerList::Clear() {
  Items.clear();
  Runs.clear();
  Excluded.clear();
  RunTotal = 0;
}

int32_t TAnswerList::Count() const {
  if (Runs.empty()) return static_cast<int32_t>(Items.size());
  return RunTotal - static_cast<int32_t>(Excluded.size());
}

int32_t TAnswerList::Item(int32_t i) const {
  return Runs.empty() ? Items[static_cast<size_t>(i)] : Select(i);
}

int32_t TAnswerList::Select(int32_t k) const {
  if (Runs.size() == 1 && Excluded.empty()) return Runs.front().At(k);
  // The k-th candidate is the least value v with more than k candidates at
  // or below it. Bisection on v; each run keeps the window of its elements
  // that lie between the bounds, so a step looks only at those, and once
  // the windows hold few elements they are read out and counted directly.
  int32_t lo = INT_MAX, hi = INT_MIN;
  Window.clear();
  size_t inside = 0;  // elements in the windows
  for (const TRun& run : Runs) {
    lo = std::min(lo, run.At(0));
    hi = std::max(hi, run.At(run.Size - 1));
    Window.push_back({0, run.Size});
    inside += static_cast<size_t>(run.Size);
  }
  At.resize(Runs.size());
  while (lo < hi && inside > kReadOut) {
    const int32_t mid = lo + (hi - lo) / 2;
    int64_t count = 0;
    for (size_t r = 0; r < Runs.size(); ++r) {
      const TRun& run = Runs[r];
      const auto [from, to] = Window[r];
      if (run.Data) {
        At[r] = from + static_cast<int32_t>(CountAtMost(run.Data + from, run.Data + to, mid));
      } else {
        At[r] = std::clamp(mid - run.First + 1, from, to);
      }
      count += At[r];
    }
    count -=
        static_cast<int64_t>(CountAtMost(Excluded.data(), Excluded.data() + Excluded.size(), mid));
    const bool below = count > k;
    if (below) {
      hi = mid;
    } else {
      lo = mid + 1;
    }
    inside = 0;
    for (size_t r = 0; r < Runs.size(); ++r) {
      (below ? Window[r].second : Window[r].first) = At[r];
      inside += static_cast<size_t>(Window[r].second - Window[r].first);
    }
  }
  return lo < hi ? ReadOut(k, lo) : lo;
}

int32_t TAnswerList::ReadOut(int32_t k, int32_t lo) const {
  // The candidates below lo are counted; those in the windows are few, and
  // the answer is the one with as many below it as k has left: counted
  // pair by pair, which costs less than sorting them (no branches to miss).
  int64_t rank = k;
  for (const auto& window : Window) rank -= window.first;
  const auto excluded = std::lower_bound(Excluded.begin(), Excluded.end(), lo);
  rank += excluded - Excluded.begin();
  Values.clear();
  for (size_t r = 0; r < Runs.size(); ++r) {
    for (int32_t i = Window[r].first; i < Window[r].second; ++i) {
      const int32_t v = Runs[r].At(i);
      if (!std::binary_search(excluded, Excluded.end(), v)) Values.push_back(v);
    }
  }
  for (const int32_t v : Values) {
    int64_t below = 0;
    for (const int32_t w : Values) below += w < v;
    if (below == rank) return v;
  }
  return Values.back();  // not reached for 0 <= k < Count()
}

void TAnswerList::AppendTo(std::vector<int32_t>& out) const {
  if (Runs.empty()) {
    out.insert(out.end(), Items.begin(), Items.end());
    return;
  }
  const size_t first = out.size();
  for (const TRun& run : Runs) {
    for (int32_t i = 0; i < run.Size; ++i) out.push_back(run.At(i));
  }
  std::sort(out.begin() + static_cast<std::ptrdiff_t>(first), out.end());
  // Drop the excluded entries (both sorted).
  auto kept = out.begin() + static_cast<std::ptrdiff_t>(first);
  auto excluded = Excluded.begin();
  for (auto it = kept; it != out.end(); ++it) {
    while (excluded != Excluded.end() && *excluded < *it) ++excluded;
    if (excluded != Excluded.end() && *excluded == *it) continue;
    *kept++ = *it;
  }
  out.erase(kept, out.end());
}

int32_t TAnswerList::Choose() const {
  const int32_t count = Count();
  if (count == 0) return 0;
  platform::ReseedRandom();
  return Item(platform::RandomInt(count));
}

}  // namespace parlevo
