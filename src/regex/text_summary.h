// A summary of a text that rules literals out without a scan (which bytes and
// byte pairs occur), kept per thread for the last text asked about.
#ifndef PARLEVO_REGEX_TEXT_SUMMARY_H_
#define PARLEVO_REGEX_TEXT_SUMMARY_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace parlevo {

// Which bytes and byte pairs occur in one text.
struct TbmRETextSummary {
  std::string text;  // the text summarised (or about to be)
  bool built = false;
  uint64_t bytes[4] = {};
  std::vector<uint64_t> pairs = std::vector<uint64_t>(1024);  // 65536 bits
  std::vector<uint16_t> set_pairs;                            // to clear them again

  bool HasByte(uint8_t b) const { return (bytes[b >> 6] >> (b & 63)) & 1; }
  bool HasPair(uint8_t a, uint8_t b) const {
    return HasPairIndex(static_cast<uint16_t>(a << 8 | b));
  }
  // The pair a, b given as a << 8 | b.
  bool HasPairIndex(uint16_t k) const { return (pairs[k >> 6] >> (k & 63)) & 1; }
  // False when `needle` (not empty) cannot occur in the text.
  bool MayContain(std::string_view needle) const {
    const auto* s = reinterpret_cast<const uint8_t*>(needle.data());
    if (!HasByte(s[0])) return false;
    for (size_t i = 1; i < needle.size(); ++i) {
      if (!HasPair(s[i - 1], s[i])) return false;
    }
    return true;
  }
  // Summarises `text` afresh.
  void Build();
};

// This thread's summary of `text` when the text was declared (TbmRESameText)
// or seen last time on this thread; otherwise null, and `text` is
// remembered so that asking again about it builds the summary.
const TbmRETextSummary* SummarizeText(std::string_view text);

// While it lives, the patterns asked on this thread about `text` (the same
// bytes at the same address, left unchanged) share one summary of it, built
// once, instead of each checking whether the text is the one seen last. For
// a caller that asks many patterns about one text.
class TbmRESameText {
 public:
  explicit TbmRESameText(std::string_view text);
  ~TbmRESameText();
  TbmRESameText(const TbmRESameText&) = delete;
  TbmRESameText& operator=(const TbmRESameText&) = delete;

 private:
  const char* previous_data_;
  size_t previous_size_;
};

}  // namespace parlevo

#endif  // PARLEVO_REGEX_TEXT_SUMMARY_H_
