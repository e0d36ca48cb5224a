// The "found anywhere?" automaton of a pattern: one pass over a text that
// stops at the first point where some match ends.
#ifndef PARLEVO_REGEX_UNANCHORED_H_
#define PARLEVO_REGEX_UNANCHORED_H_

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "regex/reader.h"

namespace parlevo {

class TbmREDFATable;

// Budgets of the unanchored automaton; beyond them there is none and the
// full search answers (still correct, only slower).
inline constexpr int32_t kMaxFindStates = 1024;
inline constexpr int64_t kMaxFindCells = 500'000;

// Immutable once built; Found may run on several threads at once.
class TbmREUnanchoredDFA {
 public:
  // The automaton of `dfa` (which need not outlive it) for texts in `code`.
  // Null when the pattern matches at the very start of every text (then
  // `always` is set to true, else left alone), for UTF-16, for more classes than a byte can name,
  // and beyond the budgets.
  static std::unique_ptr<TbmREUnanchoredDFA> Build(const TbmREDFATable& dfa, TbmCharCode code,
                                                   bool& always);

  // True when a match of the pattern starts at some character boundary.
  bool Found(std::string_view text) const;

 private:
  static constexpr uint8_t kLeadByte = 255;
  static constexpr uint8_t kMixed = 255;

  explicit TbmREUnanchoredDFA(TbmCharCode code);
  // The subset construction; false beyond the budgets or when the initial
  // state accepts (`always`).
  bool BuildStates(const TbmREDFATable& dfa, bool& always, int32_t& restart);
  void BuildClassTables(const TbmREDFATable& dfa);
  void MarkStartBytes(int32_t restart);
  int32_t WideClass(int32_t c) const {
    uint8_t cls = lead_class_[c >> 8];
    return cls != kMixed ? cls : pages_[page_of_[c >> 8] * 256 + (c & 0xFF)];
  }

  const bool* is_lead_;  // the lead-byte table of the code (static)
  int32_t width_ = 0;
  std::vector<int32_t> next_;    // row offsets (state * width); -1 is "found"
  std::vector<uint8_t> at_end_;  // per state: found when the text ends here
  uint8_t byte_class_[256];      // kLeadByte: a lead byte, decoded with the next byte
  uint8_t lead_class_[256];      // class of every lead*256+trail, kMixed if they differ
  uint8_t page_of_[256];         // for a mixed lead byte: its page in `pages_`
  std::vector<uint8_t> pages_;   // per mixed lead byte, the class of each trail byte
  int32_t restart_row_ = -1;     // the state {initial} that dead characters lead back to
  bool starts_[256];             // bytes that may leave the restart state
};

}  // namespace parlevo

#endif  // PARLEVO_REGEX_UNANCHORED_H_
