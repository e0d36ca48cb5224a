// Profile, conversation-state, date-time and text tags.
#include <string>

#include "common/character_test_access.h"
#include "tag_fixture.h"

namespace parlevo {
namespace {

using TextTagsTest = TagTest;

TEST_F(TextTagsTest, ProfileAndConversationState) {
  TUser user;
  user.FamilyName = "Hanako";
  user.GivenName = "Hanako";
  user.Nickname = platform::Utf8ToAnsi("はなちゃん");
  user.Sex = true;
  character.SetPartnerProfile(user);
  TCharacterTestAccess access(character);
  access.SetOperateMessage("HELLO");
  access.SetInput("hello");
  access.SetLastAnswer("{MYOJI}!");
  access.SetTalkCount(12);
  access.SetStartTime(platform::NowLocal() - 75.0 / 1440);
  ExpectAll({
      {"{FULLNAME}", "HanakoHanako"},
      {"{myoji}-{NAMAE}", "Hanako-Hanako"},
      {"{NICKNAME}", "はなちゃん"},
      {"{SEX}", "True"},
      {"{BIRTHDAY}", "1899/12/30"},
      {"{OPERATEMESSAGE}|{PREV}", "HELLO|hello"},
      {"{PREVANSWER}", "Hanako!"},  // the raw answer, scanned again
      {"{TURN}", "12"},
      {"{WORK}", "15"},  // 75 minutes: whole hours are not counted
  });
}

TEST_F(TextTagsTest, DateAndTimeOfTheInstant) {
  ExpectAll({
      {"{NOW}", "2004/03/07 09:05:01"},
      {"{DATE}|{TIME}|{YEAR}", "2004/03/07|09:05:01|2004"},
      {"{MONTH}/{DAY} {HOUR}:{MINUTE}:{SECOND}", "3/7 9:5:1"},
      {"{YOUBI}", "日曜"},
  });
  Freeze({2026, 12, 12, 23, 59, 59, 999});
  EXPECT_EQ(Expand("{YOUBI} {NOW}"), "土曜 2026/12/12 23:59:59");
}

TEST_F(TextTagsTest, DateComparisons) {
  ExpectAll({
      {"{DATEDIFFD2004/01/01|2004/03/01}", "60"},
      {"{DATEDIFFD2004/03/01|2004/01/01}", "-60"},
      {"{DATEDIFFH2004/01/01|2004/01/02}", "24"},
      {"{DATEDIFFN2004/01/01 10:00|2004/01/01 09:58:30}", "-1"},
      {"{datediffs2004/03/07|2004/03/07 00:00:02}", "2"},
      {"{DATEDIFFD2004/01/01 23:00:00|2004/01/02 22:59:59}", "0"},
      {"{DATEDIFFX2004/01/01|2004/01/02}", "{DATEDIFFX2004/01/01|2004/01/02}"},
      {"{DATEDIFFDsoon|2004/01/02}", "{DATEDIFFDsoon|2004/01/02}"},
      {"{DATEDIFFD|}", "{DATEDIFFD|}"},
      {"{ISSAMED2004/12/24|1999/12/24}", "True"},
      {"{ISSAMED2004/12/24 10:00:00|2004/12/25}", "False"},
      {"{ISSAMEX2004/12/24|1999/12/24}", "{ISSAMEX2004/12/24|1999/12/24}"},
      {"{ISSAMED2004/12/24|later}", "{ISSAMED2004/12/24|later}"},
  });
}

// The difference is rounded to whole milliseconds before it is cut to the
// unit, so every clock time of a day gives its exact number of seconds.
TEST_F(TextTagsTest, DateDiffInSecondsIsExactForEveryClockTime) {
  for (int s = 0; s < 86400; s += 37) {
    char time[16];
    std::snprintf(time, sizeof time, "%02d:%02d:%02d", s / 3600, s / 60 % 60, s % 60);
    ASSERT_EQ(Expand(std::string("{DATEDIFFS2004/03/07|2004/03/07 ") + time + "}"),
              std::to_string(s))
        << time;
  }
}

TEST_F(TextTagsTest, TextFunctions) {
  ExpectAll({
      {"a{BR}b", "a\r\nb"},
      {"{LENGTH:}", "0"},
      {"{LENGTH:日本}", "2"},
      {"{LEFT2|Abc}", "Ab"},
      {"{LEFT9|Abc}", "Abc"},
      {"{LEFT2147483647|Abc}", "Abc"},
      {"{LEFT0|Abc}", "{LEFT0|Abc}"},
      {"{LEFT2147483648|Abc}", "{LEFT2147483648|Abc}"},  // no 32-bit number: an error
      {"{LEFT1.5|Abc}", "{LEFT1.5|Abc}"},
      {"{LEFTx|Abc}", "{LEFTx|Abc}"},
      {"{LEFT$2|Abc}", "Ab"},
      {"{RIGHT2|Abc}", "bc"},
      {"{RIGHT9|Abc}", "Abc"},
      {"{RIGHT-1|Abc}", "{RIGHT-1|Abc}"},
      {"{MID2|abcde}", "bcde"},
      {"{MID2|3|abcdef}", "bcd"},
      {"{MID0|2|ab}", "ab"},
      {"{MID2|2|ab|cd}", "b"},
      {"{MID1|2147483647|abc}", "abc"},
      {"{MID-2147483648|2|abc}", "ab"},
      {"{MID9|ab}", "{MID9|ab}"},
      {"{MIDx|ab}", "{MIDx|ab}"},
      {"{MID1|9|ポテト}", "ポテト"},  // never split inside a double-byte character
      {"{POSb|ABC}", "2"},
      {"{POSx|ABC}", "0"},
      {"{POS|ABC}", "0"},
      {"{EQabc|ABC}", "True"},
      {"{EQａｂｃ|abc}", "True"},
      {"{NEa|a}", "False"},
      {"{EQ|}", "True"},
      {"{LIKEtel 03-1234|##-####}", "True"},
      {"{LIKEtel 03-12|##-####}", "False"},
      {"{LIKEabc|b|x}", "True"},
      {"{LIKEabc|[ab}", "False"},
  });
}

}  // namespace
}  // namespace parlevo
