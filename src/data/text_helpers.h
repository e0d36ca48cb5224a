// Text helpers shared by the loaders, the talk cycle and the tag language:
// width/case folding, the "#" digit wildcard, comma text and truth texts.
#ifndef PARLEVO_DATA_TEXT_HELPERS_H_
#define PARLEVO_DATA_TEXT_HELPERS_H_

#include <string>
#include <string_view>
#include <vector>

namespace parlevo {

// Folds a-z to A-Z and the full-width digits, capitals, small letters, signs
// and the ideographic space to ASCII, character for character (same length).
std::u16string NormalizeText(std::u16string_view text);

// "#" becomes "[0-9]" and "\#" a literal "#". Works on the ANSI form and
// steps over double-byte characters whole (a trail byte 0x5C is no "\").
std::string ExpandDigitWildcard(std::string_view ansi);

// A condition or pattern field as a data file entry keeps it: NormalizeText,
// then ExpandDigitWildcard (ANSI in and out).
std::string FoldEntryField(std::string_view ansi);

// Splits comma text: fields separated by commas or blanks (codes 1..32), a
// field in double quotes may hold both ("" inside stands for one quote).
// Never splits a double-byte character.
std::vector<std::string> SplitCommaText(std::string_view ansi);

// One field of comma text and where it is written: bytes [Begin, End) of the
// text, quotes included.
struct TCommaField {
  size_t Begin = 0, End = 0;
  std::string Text;  // as SplitCommaText gives it
};
// SplitCommaText with each field's place, for tools that point at a field.
std::vector<TCommaField> SplitCommaFields(std::string_view ansi);

// "True" / "False".
const char* BoolToText(bool value);
std::u16string BoolToWide(bool value);
// True when NormalizeText(text) is "TRUE" or the text is a non-zero whole number.
bool TextToBool(std::string_view ansi);

}  // namespace parlevo

#endif  // PARLEVO_DATA_TEXT_HELPERS_H_
