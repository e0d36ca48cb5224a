// Text tags: line break, length, the LEFT/RIGHT/MID slices, POS, the folded
// comparisons EQ and NE, and LIKE (a pattern search).
#include <algorithm>

#include "data/items.h"
#include "data/text_helpers.h"
#include "engine/character.h"
#include "engine/tag_functions.h"

namespace parlevo::tags {
namespace {

// count characters of text from the 1-based position start, clamped to the
// text; any start and count are safe.
std::u16string Piece(std::u16string_view text, int64_t start, int64_t count) {
  start = std::max<int64_t>(start, 1);
  count = std::max<int64_t>(count, 0);
  if (start > int64_t(text.size())) return {};
  return std::u16string(text.substr(size_t(start - 1), size_t(count)));
}

}  // namespace

std::u16string LineBreak(TTagContext&) { return u"\r\n"; }

std::u16string Length(TTagContext& tag) { return IntText(SliceFrom(tag.Key, 8).size()); }

std::u16string Left(TTagContext& tag) {
  int32_t n = ReadInt(Slice(tag.Key, 5, tag.Bar - 1));
  std::u16string_view text = SliceFrom(tag.Content, tag.Bar + 1);
  if (n <= 0) return {};
  return std::u16string(text.substr(0, size_t(n)));
}

std::u16string Right(TTagContext& tag) {
  int32_t n = ReadInt(Slice(tag.Key, 6, tag.Bar - 1));
  std::u16string_view text = SliceFrom(tag.Content, tag.Bar + 1);
  if (n <= 0) return {};
  size_t keep = std::min(size_t(n), text.size());
  return std::u16string(text.substr(text.size() - keep));
}

// MIDstart|S or MIDstart|count|S. The number of items is counted on the
// folded key, the items themselves are taken as written.
std::u16string Mid(TTagContext& tag) {
  std::string args = ToAnsi(SliceFrom(tag.Content, 4));
  int items = ItemCount(ToAnsi(SliceFrom(tag.Key, 4)), '|');
  int64_t start = ReadInt(ToWide(ItemAt(args, '|', 0)));
  if (items == 2) {
    std::u16string text = ToWide(ItemAt(args, '|', 1));
    return Piece(text, start, int64_t(text.size()));
  }
  int64_t count = ReadInt(ToWide(ItemAt(args, '|', 1)));
  return Piece(ToWide(ItemAt(args, '|', 2)), start, count);
}

std::u16string Pos(TTagContext& tag) {
  std::u16string_view needle = Slice(tag.Key, 4, tag.Bar - 1);
  std::u16string_view haystack = SliceFrom(tag.Key, tag.Bar + 1);
  if (needle.empty()) return u"0";
  size_t at = haystack.find(needle);
  return IntText(at == std::u16string_view::npos ? 0 : int64_t(at) + 1);
}

std::u16string Eq(TTagContext& tag) {
  return TruthText(Slice(tag.Key, 3, tag.Bar - 1) == SliceFrom(tag.Key, tag.Bar + 1));
}

std::u16string Ne(TTagContext& tag) {
  return TruthText(Slice(tag.Key, 3, tag.Bar - 1) != SliceFrom(tag.Key, tag.Bar + 1));
}

// LIKEtext|pattern: whether the pattern occurs in the text; "#" is a digit.
std::u16string Like(TTagContext& tag) {
  std::string text = ToAnsi(Slice(tag.Key, 5, tag.Bar - 1));
  std::string pattern = ToAnsi(SliceFrom(tag.Key, tag.Bar + 1));
  return TruthText(tag.Character.PatternMatches(ExpandDigitWildcard(pattern), text));
}

}  // namespace parlevo::tags
