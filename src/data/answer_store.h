// The answers of a knowledge data object, kept side by side in large blocks
// rather than one heap string each: an entry holds a view of its answer.
#ifndef PARLEVO_DATA_ANSWER_STORE_H_
#define PARLEVO_DATA_ANSWER_STORE_H_

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace parlevo {

// An answer as an entry holds it: a view of the text its object keeps, which
// reads as a std::string where one is wanted. It is never made from a
// std::string (that would be a view of a temporary).
class TAnswerText : public std::string_view {
 public:
  TAnswerText() = default;
  TAnswerText(std::string_view text) : std::string_view(text) {}
  TAnswerText(const char* text) : std::string_view(text) {}
  TAnswerText(const std::string&) = delete;
  operator std::string() const { return std::string(data(), size()); }
};

// Append-only; a view it gave stays valid as long as the store (blocks are
// never moved or freed before it).
class TAnswerStore {
 public:
  // A copy of `text` kept in the store.
  std::string_view Keep(std::string_view text);

 private:
  static constexpr size_t kBlockBytes = size_t{64} << 10;
  std::vector<std::unique_ptr<char[]>> blocks_;
  size_t used_ = 0;  // bytes used of the last block
  size_t size_ = 0;  // its size
};

}  // namespace parlevo

#endif  // PARLEVO_DATA_ANSWER_STORE_H_
