// Pattern shapes the set matcher decides from where its literals were hit,
// with no automaton (`A.*B`, `A[0-9]+B`, `A[0-9]+`, `[A-Z][a-z]+A`),
// recognised once from the parse tree; and what tells that two hits stand on
// one line or with only digits between.
#ifndef PARLEVO_REGEX_SET_SHAPES_H_
#define PARLEVO_REGEX_SET_SHAPES_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "regex/char_boundaries.h"
#include "regex/reader.h"

namespace parlevo {

class TbmRETree;

// In a shape's `follow`: any digit byte (other entries are the byte itself).
inline constexpr int16_t kFollowDigit = -1;

// One class of single-byte characters before a literal: taken once, or a run
// of one or more ("+"). `bytes` are its bytes, ascending (below 0x80, no break).
struct TbmREClassItem {
  std::string bytes;
  bool plus = false;
  bool operator==(const TbmREClassItem&) const = default;
};

// The most class items a shape has before its literal.
inline constexpr size_t kMaxClassItems = 8;

// A match is decided by hits of these literals starting on character
// boundaries. A break is an LF or CR character (what '.' does not take).
struct TbmRESetShape {
  enum class Kind : uint8_t {
    kNone,              // none of these: asked as before
    kLiteral,           // a hit of `first` ("A.*", "[0-9]*A": the rest matches empty)
    kPair,              // a hit of `first`, then of `second` starting at or after its
                        // end with no break between ("A.*B")
    kDigitsPair,        // the same with only digits between, at least one ("A[0-9]+B")
    kDigitsOrNonePair,  // the same with only digits between, or none ("A[0-9]*B")
    kDigitAfter,        // a hit of `first` with a digit right after it ("A[0-9]+");
                        // with `tail`, digits up to a line tail
    kRunBefore,         // a hit of `first` right after characters of the
                        // `before` classes ("[0-9]+A", "[A-Z][a-z]+A",
                        // "[0-9][0-9]A"); with `head`, they start a line
  };
  Kind kind = Kind::kNone;
  bool head = false;  // `first` starts at a line head ("^A.*B")
  bool tail = false;  // the last literal ends at a line tail ("A.*B$")
  std::vector<std::string> first;
  std::vector<std::string> second;  // the pairs only
  // What stands right after the last literal's hit, byte by byte (digits
  // and single strings after it: "A.*B[0-9][0-9]3"); the tail anchor is
  // after these.
  std::vector<int16_t> follow;
  // kRunBefore: the classes before the hit, left to right.
  std::vector<TbmREClassItem> before;
};

// A cheap look at a pattern's text: false when it cannot have one of the
// shapes, so that only the others are looked at by RecognizeSetShape.
bool MayHaveSetShape(std::string_view pattern);

// The shape of a parsed pattern for texts in `code` (never one for UTF-16).
TbmRESetShape RecognizeSetShape(const TbmRETree& tree, TbmCharCode code);

// How many separators stand before each position of a text, counted
// forward once as far as asked: two positions with none between have the
// same count. The separators are the breaks (so a count is a line) or every
// byte but a digit (so equal counts have only digits between).
class TbmRETextSegments {
 public:
  enum class Split : uint8_t { kLines, kDigitRuns };
  // `scratch` holds the counts; it is grown to the text and reused.
  TbmRETextSegments(Split split, const uint8_t* text, size_t n, TbmRECharBoundaries& boundaries,
                    std::vector<uint32_t>& scratch)
      : split_(split), text_(text), boundaries_(boundaries) {
    if (scratch.size() < n + 1) scratch.resize(n + 1);
    counts_ = scratch.data();
    counts_[0] = 0;
  }

  // The separators before byte `pos` (pos <= n).
  uint32_t At(size_t pos) {
    while (marked_ < pos) {
      const uint8_t b = text_[marked_];
      if (split_ == Split::kDigitRuns ? b < '0' || b > '9'
                                      : (b == '\n' || b == '\r') && boundaries_.Starts(marked_)) {
        ++count_;
      }
      counts_[++marked_] = count_;
    }
    return counts_[pos];
  }

 private:
  Split split_;
  const uint8_t* text_;
  TbmRECharBoundaries& boundaries_;
  uint32_t* counts_;
  size_t marked_ = 0;  // counts_ is filled up to here
  uint32_t count_ = 0;
};

// The first end of a literal's hits in each of the latest few segments of
// one text. Hits come in order of their ends, so the first kept for a
// segment is the earliest there. A literal can end again in later segments
// before a second literal that began in an earlier one is reported (when the
// second holds separators); only after more than kKept segments is the
// earliest forgotten, and then a question about it has no answer.
class TbmREFirstEnds {
 public:
  enum class Answer : uint8_t { kNo, kYes, kUnknown };

  // A hit of the literal ending at `end`, in `segment` of the text `stamp`.
  void Note(uint32_t stamp, uint32_t segment, size_t end) {
    if (stamp_ != stamp) {
      stamp_ = stamp;
      noted_ = 0;
    }
    if (noted_ > 0 && segment_[(noted_ - 1) % kKept] == segment) return;
    segment_[noted_ % kKept] = segment;
    end_[noted_ % kKept] = static_cast<uint32_t>(end);
    ++noted_;
  }
  // Whether a hit of text `stamp` ended in `segment` at or before `limit`.
  Answer EndedBy(uint32_t stamp, uint32_t segment, size_t limit) const {
    if (stamp_ != stamp) return Answer::kNo;
    const uint32_t kept = noted_ < kKept ? noted_ : kKept;
    for (uint32_t i = 1; i <= kept; ++i) {  // newest first: segments fall
      const uint32_t at = (noted_ - i) % kKept;
      if (segment_[at] == segment) return end_[at] <= limit ? Answer::kYes : Answer::kNo;
      if (segment_[at] < segment) return Answer::kNo;
    }
    return noted_ > kKept ? Answer::kUnknown : Answer::kNo;
  }
  void Forget() { stamp_ = 0; }

 private:
  static constexpr uint32_t kKept = 4;
  uint32_t stamp_ = 0;
  uint32_t noted_ = 0;  // segments noted in this text
  uint32_t segment_[kKept] = {};
  uint32_t end_[kKept] = {};  // 32-bit, as the scan keeps its candidates' ends
};

}  // namespace parlevo

#endif  // PARLEVO_REGEX_SET_SHAPES_H_
