// Date-time values (days since 1899-12-30, fraction = time of day): building,
// taking apart, formatting with the tag language's patterns, and parsing.
#ifndef PARLEVO_PLATFORM_DATETIME_H_
#define PARLEVO_PLATFORM_DATETIME_H_

#include <optional>
#include <string>
#include <string_view>

namespace parlevo::platform {

struct DateTimeParts {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// Years 1..9999 of the proleptic Gregorian calendar. Before 1899-12-30 the
// value is negative: its integer part (toward zero) is the day and the
// fraction's absolute value the time, so -1.25 is 1899-12-29 06:00.

// Throws std::invalid_argument for a date or time that does not exist.
double EncodeDateTime(const DateTimeParts& parts);
// Rounds to the nearest millisecond first, so 23:59:59.9996 is the next day.
// Values outside 0001-01-01 .. 9999-12-31 (infinities too) are clamped to
// that range; NaN gives the default parts (1899-12-30 00:00). No value fails.
DateTimeParts DecodeDateTime(double date_time);

// 1 = Sunday .. 7 = Saturday.
int DayOfWeek(double date_time);

// Formats with patterns built of (letters in either case): yyyy (4-digit
// year; "yyy" too), yy/y (2 digits), mm/m (month; the first "mm"/"m" after
// an "hh"/"h", other characters in between allowed as in "hh:mm", is the
// minute), dd/d, hh/h (0-23), nn/n, ss/s, zzz/z (ms, 3 digits / no leading
// zeros). Longer runs of a letter print its two-letter form (m, d, h, n, s).
// Text in '...' or "..." is copied without the quotes; "/" and ":" print
// themselves, as do all other characters (a double-byte character of the
// process code page is never read as a pattern letter).
std::string FormatDateTime(std::string_view pattern, double date_time);

// Reads "yyyy/mm/dd", "yyyy/mm/dd hh:nn", "yyyy/mm/dd hh:nn:ss",
// "yyyy/mm/dd hh:nn:ss.zzz", "hh:nn[:ss[.zzz]]" (date 1899/12/30), with "-"
// also accepted as date separator (the same one twice). The year has four
// digits, the other fields one or two (1-3 for ms, ".5" being 500 ms); spaces
// around and between date and time are ignored. Empty optional for anything
// else or an impossible date or time.
std::optional<double> TextToDateTime(std::string_view text);

}  // namespace parlevo::platform

#endif  // PARLEVO_PLATFORM_DATETIME_H_
