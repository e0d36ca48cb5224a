// Pattern shapes the set matcher decides from where its literals were hit,
// with no automaton (`A.*B`, `A[0-9]+`, `[0-9]+A`), recognised once from the
// parse tree; and the line segments of a text that tell two hits on one line.
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

// A match is decided by hits of these literals starting on character
// boundaries. A break is an LF or CR character (what '.' does not take).
struct TbmRESetShape {
  enum class Kind : uint8_t {
    kNone,         // none of these: asked as before
    kLiteral,      // a hit of `first` ("A.*", "[0-9]*A": the rest matches empty)
    kPair,         // a hit of `first`, then of `second` starting at or after its
                   // end with no break between ("A.*B")
    kDigitAfter,   // a hit of `first` with a digit right after it ("A[0-9]+")
    kDigitBefore,  // a hit of `first` with a digit right before it ("[0-9]+A")
  };
  Kind kind = Kind::kNone;
  bool head = false;  // `first` starts at a line head ("^A.*B")
  bool tail = false;  // the last literal ends at a line tail ("A.*B$")
  std::vector<std::string> first;
  std::vector<std::string> second;  // kPair only; holds no break character
};

// A cheap look at a pattern's text: false when it cannot have one of the
// shapes, so that only the others are parsed again for RecognizeSetShape.
bool MayHaveSetShape(std::string_view pattern);

// The shape of a parsed pattern for texts in `code` (never one for UTF-16).
TbmRESetShape RecognizeSetShape(const TbmRETree& tree, TbmCharCode code);

// How many breaks stand before each position of a text, counted forward once
// as far as asked; two positions with no break between have the same count.
class TbmRELineSegments {
 public:
  // `scratch` holds the counts; it is grown to the text and reused.
  TbmRELineSegments(const uint8_t* text, size_t n, TbmRECharBoundaries& boundaries,
                    std::vector<uint32_t>& scratch)
      : text_(text), boundaries_(boundaries) {
    if (scratch.size() < n + 1) scratch.resize(n + 1);
    counts_ = scratch.data();
    counts_[0] = 0;
  }

  // The breaks before byte `pos` (pos <= n).
  uint32_t At(size_t pos) {
    while (marked_ < pos) {
      const uint8_t b = text_[marked_];
      if ((b == '\n' || b == '\r') && boundaries_.Starts(marked_)) ++count_;
      counts_[++marked_] = count_;
    }
    return counts_[pos];
  }

 private:
  const uint8_t* text_;
  TbmRECharBoundaries& boundaries_;
  uint32_t* counts_;
  size_t marked_ = 0;  // counts_ is filled up to here
  uint32_t count_ = 0;
};

}  // namespace parlevo

#endif  // PARLEVO_REGEX_SET_SHAPES_H_
