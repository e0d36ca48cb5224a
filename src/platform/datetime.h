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

// Throws std::invalid_argument for a date or time that does not exist.
double EncodeDateTime(const DateTimeParts& parts);
// Rounds to the nearest millisecond first, so 23:59:59.9996 is the next day.
DateTimeParts DecodeDateTime(double date_time);

// 1 = Sunday .. 7 = Saturday.
int DayOfWeek(double date_time);

// Formats with patterns built of: yyyy (4-digit year), yy, mm/m (month;
// "mm"/"m" right after "h" or "hh" is the minute), dd/d, hh/h, nn/n, ss/s,
// zzz (ms); "/" and ":" print themselves; other characters are copied.
std::string FormatDateTime(std::string_view pattern, double date_time);

// Reads "yyyy/mm/dd", "yyyy/mm/dd hh:nn", "yyyy/mm/dd hh:nn:ss",
// "yyyy/mm/dd hh:nn:ss.zzz", "hh:nn[:ss]" (date 1899/12/30), with "-" also
// accepted as date separator and one or two digits per field. Blanks around
// are ignored. Empty optional for anything else or an impossible date.
std::optional<double> TextToDateTime(std::string_view text);

}  // namespace parlevo::platform

#endif  // PARLEVO_PLATFORM_DATETIME_H_
