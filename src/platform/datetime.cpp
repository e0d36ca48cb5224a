// Date-time values as day counts since 1899-12-30: the proleptic Gregorian
// calendar, the pattern formatter and the reader of date and time texts.
//
// A value before 1899-12-30 keeps the convention of the platform it mirrors:
// the integer part (toward zero) is the day and the fraction's absolute
// value the time of day, so -1.25 is 1899-12-29 06:00.

#include "platform/datetime.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <stdexcept>

#include "platform/codepage.h"

namespace parlevo::platform {

namespace {

constexpr int64_t kMsPerDay = 86400000;
// Days from 0001-01-01 (day 1) to 1899-12-30.
constexpr int64_t kDateDelta = 693594;
// Day numbers of 0001-01-01 and 9999-12-31.
constexpr int64_t kFirstDay = 1 - kDateDelta;
constexpr int64_t kLastDay = 2958465;

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool ValidDate(int year, int month, int day) {
  return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
         day <= DaysInMonth(year, month);
}

bool ValidTime(int hour, int minute, int second, int ms) {
  return hour >= 0 && hour < 24 && minute >= 0 && minute < 60 && second >= 0 && second < 60 &&
         ms >= 0 && ms < 1000;
}

// Day number (0 = 1899-12-30) of a valid date.
int64_t DayNumber(int year, int month, int day) {
  int64_t y = year - 1;
  int64_t days = y * 365 + y / 4 - y / 100 + y / 400;
  for (int m = 1; m < month; ++m) days += DaysInMonth(year, m);
  return days + day - kDateDelta;
}

// Splits a day number into year, month, day (proleptic Gregorian).
void SplitDayNumber(int64_t day_number, DateTimeParts& parts) {
  int64_t d = day_number + kDateDelta - 1;  // days since 0001-01-01
  int64_t y400 = d / 146097;
  d %= 146097;
  int64_t y100 = std::min<int64_t>(d / 36524, 3);
  d -= y100 * 36524;
  int64_t y4 = d / 1461;
  d %= 1461;
  int64_t y1 = std::min<int64_t>(d / 365, 3);
  d -= y1 * 365;
  parts.year = static_cast<int>(y400 * 400 + y100 * 100 + y4 * 4 + y1 + 1);
  parts.month = 1;
  while (d >= DaysInMonth(parts.year, parts.month)) d -= DaysInMonth(parts.year, parts.month++);
  parts.day = static_cast<int>(d + 1);
}

// Day number and milliseconds of the time of day, rounded to the millisecond.
// Values outside the calendar (and NaN) are pulled into it first, so no
// conversion overflows.
void Split(double date_time, int64_t& day, int64_t& ms) {
  if (std::isnan(date_time)) date_time = 0;
  date_time = std::clamp(date_time, kFirstDay - 1.0, kLastDay + 1.0);
  day = static_cast<int64_t>(std::trunc(date_time));
  ms = std::llround(std::fabs(date_time - static_cast<double>(day)) * kMsPerDay);
  if (ms >= kMsPerDay) {
    ++day;  // 23:59:59.9996 is midnight of the next calendar day
    ms -= kMsPerDay;
  }
}

void AppendNumber(std::string& out, int value, int width) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%0*d", width, value);
  out += buf;
}

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

// Reads 1..max_digits decimal digits at text[i]; -1 if there are none.
int ReadNumber(std::string_view text, size_t& i, int max_digits) {
  int value = 0, count = 0;
  while (i < text.size() && count < max_digits && text[i] >= '0' && text[i] <= '9') {
    value = value * 10 + (text[i++] - '0');
    ++count;
  }
  return count == 0 ? -1 : value;
}

// Reads "hh:nn[:ss[.zzz]]" from text[i..]; false if it is not one.
bool ReadTime(std::string_view text, size_t& i, DateTimeParts& parts) {
  parts.hour = ReadNumber(text, i, 2);
  if (parts.hour < 0 || i >= text.size() || text[i] != ':') return false;
  ++i;
  parts.minute = ReadNumber(text, i, 2);
  if (parts.minute < 0) return false;
  if (i < text.size() && text[i] == ':') {
    ++i;
    parts.second = ReadNumber(text, i, 2);
    if (parts.second < 0) return false;
    if (i < text.size() && text[i] == '.') {
      ++i;
      size_t start = i;
      parts.millisecond = ReadNumber(text, i, 3);
      if (parts.millisecond < 0) return false;
      for (size_t k = i - start; k < 3; ++k) parts.millisecond *= 10;  // ".5" is 500 ms
    }
  }
  return true;
}

}  // namespace

double EncodeDateTime(const DateTimeParts& p) {
  if (!ValidDate(p.year, p.month, p.day) || !ValidTime(p.hour, p.minute, p.second, p.millisecond)) {
    throw std::invalid_argument("invalid date or time");
  }
  double day = static_cast<double>(DayNumber(p.year, p.month, p.day));
  double time =
      static_cast<double>(((p.hour * 60 + p.minute) * 60 + p.second) * 1000 + p.millisecond) /
      kMsPerDay;
  return day >= 0 ? day + time : day - time;
}

DateTimeParts DecodeDateTime(double date_time) {
  DateTimeParts parts;
  if (std::isnan(date_time)) return parts;
  int64_t day = 0, ms = 0;
  Split(date_time, day, ms);
  day = std::clamp(day, kFirstDay, kLastDay);
  SplitDayNumber(day, parts);
  parts.millisecond = static_cast<int>(ms % 1000);
  parts.second = static_cast<int>(ms / 1000 % 60);
  parts.minute = static_cast<int>(ms / 60000 % 60);
  parts.hour = static_cast<int>(ms / 3600000);
  return parts;
}

int DayOfWeek(double date_time) {
  int64_t day = 0, ms = 0;
  Split(date_time, day, ms);
  // Day 0 (1899-12-30) was a Saturday.
  int64_t dow = (day + 6) % 7;
  if (dow < 0) dow += 7;
  return static_cast<int>(dow) + 1;
}

std::string FormatDateTime(std::string_view pattern, double date_time) {
  DateTimeParts p = DecodeDateTime(date_time);
  std::string out;
  bool after_hour = false;  // the last token was h/hh: m/mm is the minute
  size_t i = 0;
  while (i < pattern.size()) {
    char c = pattern[i];
    if (CharLengthAt(pattern, i) == 2) {  // a double-byte character: never a token
      out.append(pattern.substr(i, 2));
      i += 2;
      continue;
    }
    if (c == '"' || c == '\'') {  // quoted text is copied as it is
      size_t close = i + 1;
      while (close < pattern.size() && pattern[close] != c) close += CharLengthAt(pattern, close);
      out.append(pattern.substr(i + 1, std::min(close, pattern.size()) - i - 1));
      i = close + 1;
      continue;
    }
    char token = Upper(c);
    size_t run = 1;
    while (i + run < pattern.size() && Upper(pattern[i + run]) == token) ++run;
    switch (token) {
      case 'Y':
        if (run <= 2) {
          AppendNumber(out, p.year % 100, 2);
        } else {
          AppendNumber(out, p.year, 4);
        }
        break;
      case 'M':
        AppendNumber(out, after_hour ? p.minute : p.month, run >= 2 ? 2 : 1);
        break;
      case 'D':
        AppendNumber(out, p.day, run >= 2 ? 2 : 1);
        break;
      case 'H':
        AppendNumber(out, p.hour, run >= 2 ? 2 : 1);
        break;
      case 'N':
        AppendNumber(out, p.minute, run >= 2 ? 2 : 1);
        break;
      case 'S':
        AppendNumber(out, p.second, run >= 2 ? 2 : 1);
        break;
      case 'Z':
        AppendNumber(out, p.millisecond, run >= 3 ? 3 : 1);
        break;
      default:
        // Anything else, "/" and ":" included, prints itself.
        out.append(pattern.substr(i, run));
        i += run;
        continue;
    }
    after_hour = token == 'H';
    i += run;
  }
  return out;
}

std::optional<double> TextToDateTime(std::string_view text) {
  size_t begin = 0, end = text.size();
  while (begin < end && text[begin] == ' ') ++begin;
  while (end > begin && text[end - 1] == ' ') --end;
  text = text.substr(begin, end - begin);
  DateTimeParts parts;
  size_t i = 0;
  // A date starts with a four-digit year; otherwise only a time may stand.
  size_t digits = 0;
  while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
  if (digits == 4 && digits < text.size() && (text[digits] == '/' || text[digits] == '-')) {
    char sep = text[digits];
    parts.year = ReadNumber(text, i, 4);
    ++i;
    parts.month = ReadNumber(text, i, 2);
    if (parts.month < 0 || i >= text.size() || text[i] != sep) return std::nullopt;
    ++i;
    parts.day = ReadNumber(text, i, 2);
    if (parts.day < 0) return std::nullopt;
    if (i < text.size()) {
      if (text[i] != ' ') return std::nullopt;
      while (i < text.size() && text[i] == ' ') ++i;
      if (!ReadTime(text, i, parts)) return std::nullopt;
    }
  } else if (!ReadTime(text, i, parts)) {
    return std::nullopt;
  }
  if (i != text.size()) return std::nullopt;
  if (!ValidDate(parts.year, parts.month, parts.day) ||
      !ValidTime(parts.hour, parts.minute, parts.second, parts.millisecond)) {
    return std::nullopt;
  }
  return EncodeDateTime(parts);
}

}  // namespace parlevo::platform
