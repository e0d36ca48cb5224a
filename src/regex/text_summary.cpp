// Text summaries.
//
// Many patterns are asked about one text in a row (every entry of a
// personality about what was just said), so each thread keeps a summary of
// the last text it saw twice, of any length: which bytes and byte pairs
// occur. A literal with a byte pair the text lacks is absent without a scan.
// A caller that declares the text (TbmRESameText) spares every pattern the
// comparison with the last text; while a declaration stands, other texts get
// no summary, so the declared one keeps it.
#include "regex/text_summary.h"

#include <algorithm>
#include <cstring>

namespace parlevo {

void TbmRETextSummary::Build() {
  for (uint16_t k : set_pairs) pairs[k >> 6] = 0;
  set_pairs.clear();
  std::fill(std::begin(bytes), std::end(bytes), 0);
  const auto* t = reinterpret_cast<const uint8_t*>(text.data());
  for (size_t i = 0; i < text.size(); ++i) {
    bytes[t[i] >> 6] |= uint64_t{1} << (t[i] & 63);
    if (i + 1 < text.size()) {
      uint16_t k = static_cast<uint16_t>(t[i] << 8 | t[i + 1]);
      pairs[k >> 6] |= uint64_t{1} << (k & 63);
      set_pairs.push_back(k);
    }
  }
  built = true;
}

namespace {

// This thread's summary, and the text a TbmRESameText declared, if any.
struct ThreadSummary {
  TbmRETextSummary summary;
  const char* same_data = nullptr;  // the declared text: no comparison needed
  size_t same_size = 0;
};

ThreadSummary& ThisThread() {
  thread_local ThreadSummary state;  // per thread: no locks, no sharing
  return state;
}

}  // namespace

const TbmRETextSummary* SummarizeText(std::string_view text) {
  if (text.empty()) return nullptr;
  ThreadSummary& state = ThisThread();
  TbmRETextSummary& summary = state.summary;
  if (state.same_data) {  // the summary belongs to the declared text
    return text.data() == state.same_data && text.size() == state.same_size ? &summary : nullptr;
  }
  if (summary.text.size() == text.size() &&
      std::memcmp(summary.text.data(), text.data(), text.size()) == 0) {
    if (!summary.built) summary.Build();
    return &summary;
  }
  summary.text.assign(text);
  summary.built = false;
  return nullptr;
}

TbmRESameText::TbmRESameText(std::string_view text) {
  ThreadSummary& state = ThisThread();
  previous_data_ = state.same_data;
  previous_size_ = state.same_size;
  if (text.empty()) {  // nothing to summarise: no declaration either
    state.same_data = nullptr;
    state.same_size = 0;
    return;
  }
  if (state.summary.text != text || !state.summary.built) {
    state.summary.text.assign(text);
    state.summary.Build();
  }
  state.same_data = text.data();
  state.same_size = text.size();
}

TbmRESameText::~TbmRESameText() {
  ThreadSummary& state = ThisThread();
  state.same_data = previous_data_;
  state.same_size = previous_size_;
  if (previous_data_) {  // an outer declaration: its text gets the summary back
    std::string_view outer(previous_data_, previous_size_);
    if (state.summary.text != outer || !state.summary.built) {
      state.summary.text.assign(outer);
      state.summary.Build();
    }
  }
}

}  // namespace parlevo
