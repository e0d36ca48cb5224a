// Leftmost-longest search. For each start position, in order and by whole
// characters, the automaton runs from its initial state (and, at the start
// of a line, a second copy from the line-head state) until both copies die;
// the last accepting point seen is the longest match at that start, and the
// first start with any match wins, even an empty one. '$' ends a match right
// before LF, before CR, or at the end of the text. A line starts at the text
// start (when searching from it), after LF, and after a CR not followed by LF.
#include "regex/search.h"

#include <stdexcept>

#include "regex/automaton.h"

namespace parlevo {

TbmREDecoder::TbmREDecoder(TbmCharCode code)
    : unicode(code == bmccUniCode), is_lead(bmccLeadByteTable(code)) {}

int32_t TbmREDecoder::PreviousStart(const uint8_t* text, int32_t n, int32_t pos) const {
  if (unicode) return pos >= 2 ? pos - 2 : 0;
  // An odd run of lead bytes right before pos-1 makes pos-1 a trail byte.
  int leads = 0;
  for (int32_t q = pos - 1; q > 0 && q - 1 < n && is_lead[text[q - 1]]; --q) ++leads;
  return (leads & 1) ? pos - 2 : pos - 1;
}

namespace {

constexpr int32_t kLF = 10;
constexpr int32_t kCR = 13;

}  // namespace

bool TbmREDecoder::LineHeadAt(const uint8_t* text, int32_t n, int32_t pos) const {
  if (pos == 0) return true;
  int32_t cl;
  const int32_t c = Decode(text, n, PreviousStart(text, n, pos), cl);
  return c == kLF || (c == kCR && (pos >= n || Decode(text, n, pos, cl) != kLF));
}

namespace {

// One step of a running copy of the automaton: records an accepting point at
// `k`, then moves on character c (-1 at the end of the text).
inline void Step(const TbmREDFATable& dfa, int32_t& state, int32_t c, int32_t k, int32_t& last) {
  if (state == kNoState) return;
  if (dfa.Accepting(state)) last = k;
  if (dfa.HasLineTail && (c == -1 || c == kLF || c == kCR) && dfa.TailAccepting(state)) last = k;
  state = c < 0 ? kNoState : dfa.Next(state, dfa.ClassOf(c));
}

}  // namespace

bool bmreSearch(const TbmREDFATable& dfa, TbmCharCode code, std::string_view text, int32_t from,
                int32_t& pos, int32_t& len) {
  pos = -1;
  len = 0;
  const auto* t = reinterpret_cast<const uint8_t*>(text.data());
  const int32_t n = static_cast<int32_t>(text.size());
  if (from < 0 || from > n) return false;
  if (code == bmccUniCode && n % 2 != 0) {
    throw std::runtime_error("TbmUniCodeReader.SetTextBuff: ByteLength must be even.");
  }
  const TbmREDecoder dec(code);
  const int32_t head = dfa.HeadState();
  int32_t cl = 0;

  int32_t line = head != kNoState && dec.LineHeadAt(t, n, from) ? head : kNoState;

  for (int32_t e = from;;) {
    int32_t last = -1;
    int32_t run = 0;
    for (int32_t k = e; run != kNoState || line != kNoState;) {
      int32_t c = k < n ? dec.Decode(t, n, k, cl) : -1;
      Step(dfa, run, c, k - e, last);
      Step(dfa, line, c, k - e, last);
      if (c < 0) break;
      k += cl;
    }
    if (last >= 0) {
      pos = e;
      len = last;
      return true;
    }
    if (e >= n) return false;
    // Advance by one whole character; a line begins after LF, or after a CR
    // that no LF follows.
    int32_t c = dec.Decode(t, n, e, cl);
    e += cl;
    line = kNoState;
    if (head != kNoState) {
      if (c == kLF || (c == kCR && (e >= n || dec.Decode(t, n, e, cl) != kLF))) line = head;
    }
  }
}

}  // namespace parlevo
