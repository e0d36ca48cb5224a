// The unanchored automaton.
//
// It is the search's automaton run from every character boundary at once:
// the subset construction over sets of its states, with the initial state
// re-entered after every character (the automaton of "(any)*pattern"). After
// LF, and after a CR that no LF follows, the line-head state is re-entered
// too; "after CR" is part of the state because it depends on the next
// character. Characters are decoded as the search decodes them, so an ASCII
// pattern never matches inside a double-byte character. The walk stops at
// the first accepting point.
//
// While the walk is in the restart state (only the initial state running),
// bytes that cannot start anything are skipped in a tight loop.
#include "regex/unanchored.h"

#include <algorithm>
#include <span>

#include "regex/automaton.h"
#include "regex/set_interner.h"

namespace parlevo {

TbmREUnanchoredDFA::TbmREUnanchoredDFA(TbmCharCode code) : is_lead_(bmccLeadByteTable(code)) {}

std::unique_ptr<TbmREUnanchoredDFA> TbmREUnanchoredDFA::Build(const TbmREDFATable& dfa,
                                                              TbmCharCode code, bool& always) {
  // The full search serves the rare UTF-16 matcher, and patterns with more
  // classes than a byte can name.
  if (code == bmccUniCode || dfa.NumClasses() >= kMixed) return nullptr;
  std::unique_ptr<TbmREUnanchoredDFA> a(new TbmREUnanchoredDFA(code));
  int32_t restart = -1;
  if (!a->BuildStates(dfa, always, restart)) return nullptr;
  a->BuildClassTables(dfa);
  a->MarkStartBytes(restart);
  return a;
}

// A state is a set of automaton states, with -1 at the front when a CR was
// just read (the line-head state joins unless LF comes next). `restart` is
// the state after a character no running copy can take, when known.
bool TbmREUnanchoredDFA::BuildStates(const TbmREDFATable& dfa, bool& always, int32_t& restart) {
  const int32_t width = width_ = dfa.NumClasses();
  const int32_t head = dfa.HeadState();
  const int32_t lf = dfa.ClassOf(10), cr = dfa.ClassOf(13);
  auto accepting = [&](std::span<const int32_t> set, bool with_head) {
    for (int32_t s : set) {
      if (dfa.Accepting(s)) return true;
    }
    return with_head && dfa.Accepting(head);
  };
  auto tail = [&](std::span<const int32_t> set, bool with_head) {
    for (int32_t s : set) {
      if (dfa.TailAccepting(s)) return true;
    }
    return with_head && dfa.TailAccepting(head);
  };

  thread_local TbmRESetInterner states;  // scratch of this thread's builds
  states.Clear();
  std::vector<int32_t> set, target;
  auto intern = [&](const std::vector<int32_t>& key) -> int32_t {
    bool added;
    int32_t id = states.Intern(key, added);
    if (added && (id >= kMaxFindStates || static_cast<int64_t>(id + 1) * width > kMaxFindCells)) {
      return -2;
    }
    return id;
  };

  set.assign(1, 0);
  if (head != kNoState && head != 0) set.push_back(head);
  std::sort(set.begin(), set.end());
  if (accepting(set, false)) {
    always = true;
    return false;
  }
  intern(set);
  if (set.size() == 1) restart = 0;  // no line head: the start state is {initial}
  for (int32_t s = 0; s < states.size(); ++s) {
    auto stored = states.Get(s);
    set.assign(stored.begin(), stored.end());
    const bool after_cr = !set.empty() && set.front() == -1;
    if (after_cr) set.erase(set.begin());
    at_end_.push_back(tail(set, after_cr));
    next_.resize(static_cast<size_t>(s + 1) * width, -1);
    for (int32_t k = 0; k < width; ++k) {
      const bool with_head = after_cr && k != lf;  // a line began right after the CR
      int32_t to;
      if ((k == lf || k == cr) && tail(set, with_head)) {
        to = -1;  // '$' ends a match before this line break
      } else {
        target.assign(1, 0);  // a match may start after this character
        for (int32_t q : set) {
          int32_t t = dfa.Next(q, k);
          if (t != kNoState) target.push_back(t);
        }
        if (with_head) {
          int32_t t = dfa.Next(head, k);
          if (t != kNoState) target.push_back(t);
        }
        const bool line_break = (k == lf || k == cr) && head != kNoState;
        if (target.size() == 1 && !line_break && restart >= 0) {
          next_[static_cast<size_t>(s) * width + k] = restart * width;
          continue;
        }
        if (k == lf && head != kNoState) target.push_back(head);
        std::sort(target.begin(), target.end());
        target.erase(std::unique(target.begin(), target.end()), target.end());
        const bool cr_next = k == cr && head != kNoState;
        if (accepting(target, cr_next)) {
          to = -1;
        } else {
          if (cr_next) target.insert(target.begin(), -1);
          to = intern(target);
          if (to == -2) return false;  // over budget: the full search answers
          if (target.size() == 1 && target[0] == 0) restart = to;
          to *= width;
        }
      }
      next_[static_cast<size_t>(s) * width + k] = to;
    }
  }
  return true;
}

// Each byte's class; a lead byte whose 256 characters all share one class
// (or none) needs no class search per character: one sweep over the classes
// finds them. Others get a page of their trail bytes' classes.
void TbmREUnanchoredDFA::BuildClassTables(const TbmREDFATable& dfa) {
  for (int32_t b = 0; b < 256; ++b) {
    byte_class_[b] = is_lead_[b] ? kLeadByte : static_cast<uint8_t>(dfa.ClassOf(b));
  }
  std::fill(std::begin(lead_class_), std::end(lead_class_), kMixed);
  int32_t k = 0;
  const int32_t records = dfa.OtherClass();
  for (int32_t b = 0; b < 256; ++b) {
    if (!is_lead_[b]) continue;
    const int32_t lo = b << 8, hi = lo | 0xFF;
    while (k < records && dfa.ClassRange(k).Hi < lo) ++k;
    if (k == records || dfa.ClassRange(k).Lo > hi) {
      lead_class_[b] = static_cast<uint8_t>(dfa.OtherClass());
    } else if (dfa.ClassRange(k).Lo <= lo && dfa.ClassRange(k).Hi >= hi) {
      lead_class_[b] = static_cast<uint8_t>(k);
    } else {  // classes change inside this page: a table of its trail bytes
      page_of_[b] = static_cast<uint8_t>(pages_.size() / 256);
      for (int32_t v = lo, j = k; v <= hi; ++v) {
        while (j < records && dfa.ClassRange(j).Hi < v) ++j;
        bool inside = j < records && dfa.ClassRange(j).Lo <= v;
        pages_.push_back(static_cast<uint8_t>(inside ? j : dfa.OtherClass()));
      }
    }
  }
}

// The bytes that may leave the restart state; a lead byte whose page is
// mixed counts as one.
void TbmREUnanchoredDFA::MarkStartBytes(int32_t restart) {
  if (restart < 0) return;
  restart_row_ = restart * width_;
  const int32_t* row = &next_[static_cast<size_t>(restart_row_)];
  for (int32_t b = 0; b < 256; ++b) {
    uint8_t cls = is_lead_[b] ? lead_class_[b] : byte_class_[b];
    starts_[b] = cls == kMixed || row[cls] != restart_row_;
  }
}

bool TbmREUnanchoredDFA::Found(std::string_view text) const {
  const auto* t = reinterpret_cast<const uint8_t*>(text.data());
  const size_t n = text.size();
  const int32_t* next = next_.data();
  int32_t row = 0;
  // The last character start known, at or before i (or just after it). It
  // only moves forward, so finding where characters start costs the text's
  // length in all: walking back over a run of lead bytes at every start
  // byte would cost its square.
  size_t boundary = 0;
  for (size_t i = 0; i < n;) {
    if (row == restart_row_) {
      while (i < n && !starts_[t[i]]) ++i;
      if (i == n) break;
      while (boundary < i) boundary += is_lead_[t[boundary]] && boundary + 1 < n ? 2 : 1;
      // A trail byte: its character began with a lead byte that starts
      // nothing, so the state stays the same after it.
      if (boundary != i) {
        ++i;
        continue;
      }
    }
    int32_t cls = byte_class_[t[i]];
    if (cls != kLeadByte) {
      ++i;
    } else if (i + 1 < n) {
      cls = WideClass(t[i] << 8 | t[i + 1]);
      i += 2;
    } else {
      cls = WideClass(t[i] << 8);  // a lone lead byte at the end
      ++i;
    }
    boundary = i;
    row = next[row + cls];
    if (row < 0) return true;
  }
  return at_end_[row / width_];
}

}  // namespace parlevo
