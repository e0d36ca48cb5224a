// Text helpers of the transcript: turning an utterance into one transcript
// line, and removing the brace spans a character's expanded answer may keep.
#ifndef PARLEVO_APP_TRANSCRIPT_H_
#define PARLEVO_APP_TRANSCRIPT_H_

#include <string>
#include <string_view>

namespace parlevo {

// The pattern a transcript line follows unless the user picks another one.
inline constexpr std::string_view kDefaultLogFormat = "%charname > %comment";

// Fills `log_format` (ANSI) in: the first "%charname" becomes `name`, then the
// first "%comment" of that result becomes `said`; the placeholders are found
// without regard to letter case and never start inside a double-byte
// character. Finally every CR LF pair becomes "{BR}", so one utterance stays
// on one line. All texts are ANSI strings of the process code page.
std::string FormatLine(std::string_view log_format, std::string_view name, std::string_view said);

// Drops every "{" and "}" and the text between them, counting depth: nested
// spans vanish whole, an unclosed "{" hides the rest, and a stray "}" drives
// the depth below zero, after which text is copied again.
std::u16string StripBraces(std::u16string_view text);

}  // namespace parlevo

#endif  // PARLEVO_APP_TRANSCRIPT_H_
