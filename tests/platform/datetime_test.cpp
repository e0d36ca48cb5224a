// Tests for date-time values: the calendar, formatting patterns, and reading
// date and time texts.

#include "platform/datetime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

namespace parlevo::platform {
namespace {

TEST(DateTime, KnownDayNumbers) {
  const struct {
    int y, m, d;
    double days;
  } cases[] = {
      {1899, 12, 30, 0},       {1899, 12, 31, 1},    {1900, 1, 1, 2},     {1900, 3, 1, 61},
      {2000, 1, 1, 36526},     {2004, 3, 7, 38053},  {1899, 12, 29, -1},  {1, 1, 1, -693593},
      {9999, 12, 31, 2958465}, {2000, 2, 29, 36585}, {2100, 3, 1, 73110},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EncodeDateTime({c.y, c.m, c.d}), c.days) << c.y << "-" << c.m << "-" << c.d;
    DateTimeParts p = DecodeDateTime(c.days);
    EXPECT_EQ(p.year, c.y);
    EXPECT_EQ(p.month, c.m);
    EXPECT_EQ(p.day, c.d);
  }
}

TEST(DateTime, EveryDayRoundTrips) {
  for (double day = -700000; day <= 2958465; day += 1) {
    if (day < -693593) continue;
    DateTimeParts p = DecodeDateTime(day);
    ASSERT_EQ(EncodeDateTime(p), day);
  }
}

TEST(DateTime, TimeOfDayAndRounding) {
  double v = EncodeDateTime({2004, 3, 7, 9, 5, 1, 250});
  DateTimeParts p = DecodeDateTime(v);
  EXPECT_EQ(p.hour, 9);
  EXPECT_EQ(p.minute, 5);
  EXPECT_EQ(p.second, 1);
  EXPECT_EQ(p.millisecond, 250);
  // 23:59:59.9996 rounds to midnight of the next day.
  p = DecodeDateTime(38053 + 86399.9996 / 86400);
  EXPECT_EQ(p.day, 8);
  EXPECT_EQ(p.hour, 0);
  // Before 1899-12-30 the fraction's size is the time: -1.25 is 12-29 06:00.
  p = DecodeDateTime(-1.25);
  EXPECT_EQ(p.day, 29);
  EXPECT_EQ(p.hour, 6);
  EXPECT_EQ(EncodeDateTime({1899, 12, 29, 6}), -1.25);
}

TEST(DateTime, ValuesOutsideTheCalendarAreClamped) {
  EXPECT_EQ(DecodeDateTime(1e300).year, 9999);
  EXPECT_EQ(DecodeDateTime(-1e300).year, 1);
  EXPECT_EQ(DecodeDateTime(std::numeric_limits<double>::infinity()).year, 9999);
  EXPECT_EQ(DecodeDateTime(std::nan("")).year, 1899);
  EXPECT_EQ(DecodeDateTime(2958465.5).hour, 12);  // the last day keeps its time
  EXPECT_EQ(FormatDateTime("yyyy/mm/dd", 1e18), "9999/12/31");
  EXPECT_GE(DayOfWeek(std::nan("")), 1);
  EXPECT_LE(DayOfWeek(-1e300), 7);
}

TEST(DateTime, ImpossibleDatesThrow) {
  const DateTimeParts bad[] = {
      {2003, 2, 29}, {1900, 2, 29},    {2004, 13, 1},       {2004, 4, 31},
      {0, 1, 1},     {2004, 1, 1, 24}, {2004, 1, 1, 0, 60}, {2004, 1, 1, 0, 0, 0, 1000}};
  for (const auto& p : bad) EXPECT_THROW(EncodeDateTime(p), std::invalid_argument);
  EXPECT_NO_THROW(EncodeDateTime({2000, 2, 29}));
}

TEST(DateTime, DayOfWeek) {
  EXPECT_EQ(DayOfWeek(0), 7);                             // 1899-12-30, a Saturday
  EXPECT_EQ(DayOfWeek(EncodeDateTime({2004, 3, 7})), 1);  // a Sunday
  EXPECT_EQ(DayOfWeek(EncodeDateTime({2026, 12, 7, 23, 59})), 2);
  EXPECT_EQ(DayOfWeek(-1), 6);
  EXPECT_EQ(DayOfWeek(-7.5), 7);
}

TEST(DateTime, Patterns) {
  double v = EncodeDateTime({2004, 3, 7, 9, 5, 1, 42});
  const struct {
    const char* pattern;
    const char* text;
  } cases[] = {
      {"yyyy/mm/dd hh:nn:ss", "2004/03/07 09:05:01"},
      {"yyyy/mm/dd", "2004/03/07"},
      {"hh:nn:ss", "09:05:01"},
      {"yyyy", "2004"},
      {"yy", "04"},
      {"m", "3"},
      {"d", "7"},
      {"h", "9"},
      {"n", "5"},
      {"s", "1"},
      {"mm/dd", "03/07"},
      {"zzz", "042"},
      {"dddd hhh", "07 09"},  // longer runs print the two-letter form
      {"z", "42"},
      {"hh:mm", "09:05"},  // m after an hour is the minute
      {"h mm", "9 05"},
      {"hh:mm:ss mm", "09:05:01 03"},  // ... only the first m after it
      {"YYYY-MM-DD", "2004-03-07"},
      {"'yy' yyyy", "yy 2004"},
      {"\"d\"d", "d7"},
      {"x\x83\x5C", "x\x83\x5C"},
      {"yyyy\x94\x4Em\x8C\x8E",
       "2004\x94\x4E"
       "3\x8C\x8E"},  // 年 and 月 end in "N" and 0x8E
      {"'\x83\x27'd",
       "\x83\x27"
       "7"},  // a quote as second byte ends nothing
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatDateTime(c.pattern, v), c.text) << c.pattern;
  EXPECT_EQ(FormatDateTime("yyyy/mm/dd", 0), "1899/12/30");
}

TEST(DateTime, ReadsDateTexts) {
  const struct {
    const char* text;
    std::optional<double> value;
  } cases[] = {
      {"2004/03/07", 38053},
      {"2004/3/7", 38053},
      {"2004-03-07", 38053},
      {" 2004/03/07 ", 38053},
      {"2004/03/07 12:00:00", 38053.5},
      {"2004/03/07 12:00", 38053.5},
      {"2004/03/07  06:00:00.5", EncodeDateTime({2004, 3, 7, 6, 0, 0, 500})},
      {"12:00", 0.5},
      {"18:00:00", 0.75},
      {"1899/12/29", -1},
      {"2003/02/29", std::nullopt},
      {"2004/13/01", std::nullopt},
      {"2004/03/07 24:00:00", std::nullopt},
      {"2004/03-07", std::nullopt},
      {"04/03/07", std::nullopt},
      {"2004/03/07x", std::nullopt},
      {"2004/03/07 12", std::nullopt},
      {"", std::nullopt},
      {"now", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(TextToDateTime(c.text), c.value) << c.text;
}

TEST(DateTime, DifferenceOfReadDates) {
  // Two dates read from text differ by whole days exactly.
  EXPECT_EQ(*TextToDateTime("2004/03/01") - *TextToDateTime("2004/01/01"), 60);
}

}  // namespace
}  // namespace parlevo::platform
