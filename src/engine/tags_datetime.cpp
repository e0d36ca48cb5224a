// Date-time tags: the parts of the expansion's one instant, the weekday, and
// the two date comparisons DATEDIFF and ISSAME.
#include <cmath>

#include "data/items.h"
#include "engine/tag_functions.h"
#include "platform/datetime.h"

namespace parlevo::tags {
namespace {

// Indexed by the day of the week, 1 = Sunday .. 7 = Saturday.
constexpr const char16_t* kWeekdayNames[] = {u"日曜", u"月曜", u"火曜", u"水曜",
                                             u"木曜", u"金曜", u"土曜"};

constexpr int64_t kMsPerDay = 86400000;

double ReadDateTime(std::u16string_view text) {
  auto value = platform::TextToDateTime(ToAnsi(text));
  if (!value) throw ETagError("not a date");
  return *value;
}

}  // namespace

std::u16string Now(TTagContext& tag) { return DateText("yyyy/mm/dd hh:nn:ss", tag.Now); }
std::u16string Date(TTagContext& tag) { return DateText("yyyy/mm/dd", tag.Now); }
std::u16string Time(TTagContext& tag) { return DateText("hh:nn:ss", tag.Now); }
std::u16string Year(TTagContext& tag) { return DateText("yyyy", tag.Now); }
std::u16string Month(TTagContext& tag) { return DateText("m", tag.Now); }
std::u16string Day(TTagContext& tag) { return DateText("d", tag.Now); }
std::u16string Hour(TTagContext& tag) { return DateText("h", tag.Now); }
std::u16string Minute(TTagContext& tag) { return DateText("n", tag.Now); }
std::u16string Second(TTagContext& tag) { return DateText("s", tag.Now); }

std::u16string Youbi(TTagContext& tag) {
  DateText("d", tag.Now);  // checks the instant is a calendar date
  return kWeekdayNames[platform::DayOfWeek(tag.Now) - 1];
}

// DATEDIFF u A|B: B - A in days, hours, minutes or seconds, toward zero. The
// difference is rounded to whole milliseconds first, so two clock times a
// whole number of seconds apart never come out one unit short.
std::u16string DateDiff(TTagContext& tag) {
  int64_t unit_ms = 0;
  switch (CharAt(tag.Key, 9)) {
    case u'D':
      unit_ms = kMsPerDay;
      break;
    case u'H':
      unit_ms = 3600000;
      break;
    case u'N':
      unit_ms = 60000;
      break;
    case u'S':
      unit_ms = 1000;
      break;
    default:
      return {};
  }
  double a = ReadDateTime(Slice(tag.Key, 10, tag.Bar - 1));
  double b = ReadDateTime(SliceFrom(tag.Key, tag.Bar + 1));
  // Dates lie within years 1..9999, so the milliseconds fit 64 bits.
  int64_t ms = std::llround((b - a) * double(kMsPerDay));
  return IntText(ms / unit_ms);
}

// ISSAMED A|B: whether the two dates fall on the same month and day.
std::u16string IsSame(TTagContext& tag) {
  if (CharAt(tag.Key, 7) != u'D') return {};
  std::string items = ToAnsi(SliceFrom(tag.Key, 8));
  double a = ReadDateTime(ToWide(ItemAt(items, '|', 0)));
  double b = ReadDateTime(ToWide(ItemAt(items, '|', 1)));
  return TruthText(DateText("mm/dd", a) == DateText("mm/dd", b));
}

}  // namespace parlevo::tags
