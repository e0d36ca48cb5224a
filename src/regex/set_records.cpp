// Set records. A record is a handful of bytes: one of kind and flags, one
// of shape, then the lists, each a count and its items, counts and sizes as
// base-128 numbers (most are below 128, so a byte each). A pattern of kana
// words costs its literals' bytes and a few more, where the parsed pattern
// it stands for held some hundreds.
#include "regex/set_records.h"

#include <algorithm>
#include <stdexcept>

namespace parlevo {
namespace {

enum Flag : uint8_t { kExact = 1, kHead = 2, kTail = 4 };

void PutNumber(std::string& out, size_t n) {
  while (n >= 0x80) {
    out += static_cast<char>(0x80 | (n & 0x7f));
    n >>= 7;
  }
  out += static_cast<char>(n);
}

void PutStrings(std::string& out, const std::vector<std::string>& strings) {
  PutNumber(out, strings.size());
  for (const std::string& s : strings) {
    PutNumber(out, s.size());
    out += s;
  }
}

// Reads a record from `p` on; the record was written whole, so nothing is
// checked.
class RecordReader {
 public:
  explicit RecordReader(const char* p) : p_(p) {}
  uint8_t Byte() { return static_cast<uint8_t>(*p_++); }
  size_t Number() {
    size_t n = 0;
    for (int shift = 0;; shift += 7) {
      const uint8_t b = Byte();
      n |= static_cast<size_t>(b & 0x7f) << shift;
      if (b < 0x80) return n;
    }
  }
  void String(std::string& out) {
    const size_t n = Number();
    out.assign(p_, n);
    p_ += n;
  }
  void Strings(std::vector<std::string>& out) {
    out.resize(Number());
    for (std::string& s : out) String(s);
  }

 private:
  const char* p_;
};

size_t HashOf(const TbmRExp* pattern) {
  auto bits = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(pattern));
  bits *= 0x9E3779B97F4A7C15ull;  // matchers sit 48 bytes apart: mix the low bits up
  return static_cast<size_t>(bits >> 32);
}

}  // namespace

int32_t TbmRESetRecords::Find(const TbmRExp* pattern) const {
  if (slots_.empty()) return -1;
  const size_t mask = slots_.size() - 1;
  for (size_t i = HashOf(pattern) & mask; slots_[i] != 0; i = (i + 1) & mask) {
    const uint32_t r = slots_[i] - 1;
    if (patterns_[r] == pattern) return static_cast<int32_t>(r);
  }
  return -1;
}

void TbmRESetRecords::Rehash(size_t slots) {
  slots_.assign(slots, 0);
  const size_t mask = slots - 1;
  for (size_t r = 0; r < patterns_.size(); ++r) {
    size_t i = HashOf(patterns_[r]) & mask;
    while (slots_[i] != 0) i = (i + 1) & mask;
    slots_[i] = static_cast<uint32_t>(r + 1);
  }
}

void TbmRESetRecords::Keep(const TbmRExp* pattern, const TbmRESetLiterals& analysis) {
  if (bytes_.size() > UINT32_MAX / 2) throw std::length_error("TbmRESetRecords: too many");
  starts_.push_back(static_cast<uint32_t>(bytes_.size()));
  patterns_.push_back(pattern);
  if (2 * patterns_.size() > slots_.size()) {
    Rehash(std::max<size_t>(64, 2 * slots_.size()));
  } else {
    const size_t mask = slots_.size() - 1;
    size_t i = HashOf(pattern) & mask;
    while (slots_[i] != 0) i = (i + 1) & mask;
    slots_[i] = static_cast<uint32_t>(patterns_.size());
  }
  const uint8_t flags =
      (analysis.exact ? kExact : 0) | (analysis.head ? kHead : 0) | (analysis.tail ? kTail : 0);
  bytes_ += static_cast<char>(static_cast<uint8_t>(analysis.kind) << 4 | flags);
  if (analysis.kind != TbmRESetLiterals::Kind::kLiterals) return;
  bytes_ += static_cast<char>(analysis.shape);
  PutStrings(bytes_, analysis.strings);
  PutStrings(bytes_, analysis.also);
  PutNumber(bytes_, analysis.follow.size());
  for (int16_t f : analysis.follow) {
    const auto u = static_cast<uint16_t>(f);
    bytes_ += static_cast<char>(u & 0xff);
    bytes_ += static_cast<char>(u >> 8);
  }
  PutNumber(bytes_, analysis.before.size());
  for (const TbmREClassItem& item : analysis.before) {
    bytes_ += static_cast<char>(item.plus ? 1 : 0);
    PutNumber(bytes_, item.bytes.size());
    bytes_ += item.bytes;
  }
}

bool TbmRESetRecords::Get(const TbmRExp* pattern, TbmRESetLiterals& out) const {
  const int32_t r = Find(pattern);
  if (r < 0) return false;
  RecordReader in(bytes_.data() + starts_[static_cast<size_t>(r)]);
  const uint8_t head = in.Byte();
  out.kind = static_cast<TbmRESetLiterals::Kind>(head >> 4);
  out.exact = (head & kExact) != 0;
  out.head = (head & kHead) != 0;
  out.tail = (head & kTail) != 0;
  out.strings.clear();
  out.also.clear();
  out.follow.clear();
  out.before.clear();
  out.shape = TbmRESetShape::Kind::kNone;
  if (out.kind != TbmRESetLiterals::Kind::kLiterals) return true;
  out.shape = static_cast<TbmRESetShape::Kind>(in.Byte());
  in.Strings(out.strings);
  in.Strings(out.also);
  out.follow.resize(in.Number());
  for (int16_t& f : out.follow) {
    const uint8_t low = in.Byte();
    f = static_cast<int16_t>(static_cast<uint16_t>(low | in.Byte() << 8));
  }
  out.before.resize(in.Number());
  for (TbmREClassItem& item : out.before) {
    item.plus = in.Byte() != 0;
    in.String(item.bytes);
  }
  return true;
}

void TbmRESetRecords::Clear() {
  std::vector<const TbmRExp*>().swap(patterns_);
  std::vector<uint32_t>().swap(starts_);
  std::string().swap(bytes_);
  std::vector<uint32_t>().swap(slots_);
}

size_t TbmRESetRecords::MemoryBytes() const {
  return patterns_.capacity() * sizeof(const TbmRExp*) +
         (starts_.capacity() + slots_.capacity()) * sizeof(uint32_t) + bytes_.capacity();
}

}  // namespace parlevo
