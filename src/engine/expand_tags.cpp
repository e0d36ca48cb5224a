// TCharacter::ExpandTags: the scanner of the tag language. Replaces tags by
// their results, rescans results, and keeps the work within its budgets.
#include "engine/expand_tags.h"

#include <exception>
#include <limits>
#include <string>
#include <string_view>

#include "data/stacks.h"
#include "data/text_helpers.h"
#include "engine/character.h"
#include "engine/tag_context.h"
#include "engine/tag_dispatch.h"
#include "platform/clock.h"
#include "platform/codepage.h"

namespace parlevo {
namespace {

// Runs one tag. Any failure inside a tag function gives an empty result; what
// the function changed in the character before failing stays changed.
// `effect` is set when the tag changed the character or drew at random.
std::u16string RunTag(TCharacter& character, std::u16string_view content, double now,
                      bool& effect) {
  if (content.empty()) return {};
  std::u16string key = NormalizeText(content);
  size_t bar = key.find(u'|');
  TTagContext tag{character,       content, key, bar == std::u16string::npos ? 0 : int(bar) + 1,
                  int(key.size()), now};
  try {
    std::u16string result = DispatchTag(tag);
    effect = effect || tag.Effect;
    return result;
  } catch (const std::exception&) {
    effect = effect || tag.Effect;
    return {};
  }
}

// The segment being collected: the ANSI text of an outer segment popped from
// the stack, followed by the characters scanned since. Keeping the popped part
// in its ANSI form means a long segment is converted once, not at every "{"
// and "}" after it; the text is the same as converting it whole each time.
class TSegment {
 public:
  void Append(char16_t c) { tail_ += c; }
  void Append(std::u16string_view text) { tail_ += text; }
  void Clear() {
    base_.clear();
    tail_.clear();
  }
  // The ANSI form, for the stack; the segment is left empty.
  std::string TakeAnsi() {
    base_ += platform::WideToAnsi(tail_);
    tail_.clear();
    return std::move(base_);
  }
  void ResetTo(std::string ansi) {
    base_ = std::move(ansi);
    tail_.clear();
  }
  std::u16string Wide() const { return platform::AnsiToWide(base_) + tail_; }

 private:
  std::string base_;
  std::u16string tail_;
};

// The state of one expansion; positions are 0-based here (the "{" of an open
// tag, the next character to scan).
class TExpansion {
 public:
  TExpansion(TCharacter& character, std::u16string_view text, double now)
      : character_(character), work_(text), now_(now) {}

  // A tag run so far changed the character or drew at random.
  bool Effect() const { return effect_; }

  std::u16string Run() {
    while (pos_ < work_.size()) {
      if (++steps_ > kMaxScanSteps) break;
      char16_t c = work_[pos_];
      if (c == u'{') {
        Open();
      } else if (c == u'}') {
        if (!Close()) break;
      } else {
        segment_.Append(c);
        ++pos_;
      }
    }
    // Tags left open: the text in front of the outermost of them.
    while (seg_stack_.Count() > 0) segment_.ResetTo(seg_stack_.Pop());
    return segment_.Wide();
  }

 private:
  void Open() {
    // Every step forward is a scan step, so pos_ stays below kMaxScanSteps
    // and fits the stack's int.
    pos_stack_.Push(int(pos_));
    // Outer segments live in the ANSI form: what the code page can't show
    // comes back as its default character.
    seg_stack_.Push(segment_.TakeAnsi());
    ++pos_;
  }

  // Closes the tag whose "}" is at pos_. False when scanning must stop.
  bool Close() {
    int depth = pos_stack_.Count();
    if (depth == 0) {  // a stray "}" empties the whole result
      segment_.Clear();
      return false;
    }
    if (++tags_closed_ > kMaxTagsPerExpansion) return false;
    std::u16string content = segment_.Wide();
    std::u16string result = RunTag(character_, content, now_, effect_);
    // The "{" position comes from the stack rather than from the content's
    // length, which the ANSI round trip of outer segments may have shortened.
    size_t open = size_t(pos_stack_.Pop());
    if (depth > 2 || !result.empty()) {
      if (result.size() > pos_ - open + 1 &&
          work_.size() - (pos_ - open + 1) + result.size() > kMaxWorkLength) {
        return false;
      }
      work_.replace(open, pos_ - open + 1, result);
      pos_ = open;  // rescan from the first character of the result
      segment_.ResetTo(seg_stack_.Pop());
    } else {  // an empty result at depth 1 or 2: the tag stays as written
      pos_ = pos_ + 1;
      segment_.ResetTo(seg_stack_.Pop());
      segment_.Append(u'{');
      segment_.Append(content);
      segment_.Append(u'}');
    }
    return true;
  }

  TCharacter& character_;
  std::u16string work_;
  size_t pos_ = 0;
  TSegment segment_;
  TIntStack pos_stack_;
  TStrStack seg_stack_;
  double now_;
  int tags_closed_ = 0;
  int64_t steps_ = 0;
  bool effect_ = false;
};

static_assert(kMaxScanSteps < std::numeric_limits<int>::max());

}  // namespace

std::u16string TCharacter::ExpandTags(std::u16string_view text) {
  return TExpansion(*this, text, platform::NowLocal()).Run();
}

TEvaluation TCharacter::EvaluateCondition(std::u16string_view text, double now) {
  TExpansion expansion(*this, text, now);
  std::u16string value = expansion.Run();
  return {std::move(value), !expansion.Effect()};
}

}  // namespace parlevo
