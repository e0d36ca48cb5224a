// Tests of the transcript text helpers: line patterns with their placeholders
// and brace stripping of utterances.
#include "app/transcript.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/codepage.h"

namespace parlevo {
namespace {

std::string Sjis(std::u16string_view wide) { return platform::WideToAnsi(wide, 932); }

struct FormatCase {
  const char* what;
  std::string format, name, said, expected;
};

TEST(TranscriptFormatLine, FillsPlaceholders) {
  const FormatCase cases[] = {
      {"default pattern", "%charname > %comment", "Ann", "Hello", "Ann > Hello"},
      {"upper-case placeholders", "%CHARNAME: %COMMENT", "Ann", "Hi", "Ann: Hi"},
      {"mixed case", "[%ChArNaMe] %Comment", "Ann", "Hi", "[Ann] Hi"},
      {"only the first comment", "%comment / %comment", "Ann", "Hi", "Hi / %comment"},
      {"only the first name", "%charname %charname", "Ann", "", "Ann %charname"},
      {"comment alone", "%comment", "Ann", "Hi", "Hi"},
      {"no placeholders", "plain", "Ann", "Hi", "plain"},
      {"empty answer", "%charname > %comment", "Ann", "", "Ann > "},
      {"name holding %comment receives it", "%charname", "Ann %comment", "Hi", "Ann Hi"},
      {"said text is not searched for a name", "%comment %charname", "Ann", "%charname",
       "%charname Ann"},
      {"CR LF shown as {BR}", "%charname > %comment", "Ann", "a\r\nb\r\n", "Ann > a{BR}b{BR}"},
      {"lone CR and LF stay", "%comment", "Ann", "a\rb\nc\n\r", "a\rb\nc\n\r"},
      {"CR LF in the pattern too", "%charname\r\n%comment", "Ann", "Hi", "Ann{BR}Hi"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatLine(c.format, c.name, c.said), c.expected) << c.what;
  }
}

TEST(TranscriptFormatLine, DoubleByteAware) {
  // A "%" that is the second byte of a double-byte character (after the lead
  // byte 0x81) starts no placeholder.
  const std::string lead_then_percent = std::string("\x81") + "%comment";
  EXPECT_EQ(FormatLine(lead_then_percent, "N", "S"), lead_then_percent);
  // Japanese names and comments pass through untouched.
  const std::string name = Sjis(u"花子");
  const std::string said = Sjis(u"こんにちは、ソフトです");
  EXPECT_EQ(FormatLine(Sjis(u"【%charname】%comment"), name, said),
            Sjis(u"【花子】こんにちは、ソフトです"));
  // Placeholders after double-byte text are still found.
  EXPECT_EQ(FormatLine(Sjis(u"名前%CharName発言%COMMENT"), "A", "B"), Sjis(u"名前A発言B"));
}

TEST(TranscriptStripBraces, RemovesBraceSpans) {
  const struct {
    std::u16string in, out;
  } cases[] = {
      {u"a{b}c", u"ac"},
      {u"x{y", u"x"},
      {u"a}b{c}d", u"abcd"},
      {u"a{{b}c}d", u"ad"},
      {u"", u""},
      {u"plain", u"plain"},
      {u"}}a{b", u"ab"},
      {u"{NothingSaid}", u""},
      {u"こん{X}にちは", u"こんにちは"},
  };
  for (const auto& c : cases) EXPECT_EQ(StripBraces(c.in), c.out);
}

}  // namespace
}  // namespace parlevo
