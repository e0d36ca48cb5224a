// Argument helpers of the tag functions: safe 1-based slices, number and
// truth readers and writers that turn every fault into an ETagError.
#include "engine/tag_context.h"

#include <cmath>

#include "data/text_helpers.h"
#include "engine/character.h"
#include "platform/codepage.h"
#include "platform/datetime.h"
#include "platform/numbers.h"

namespace parlevo {
namespace {

// The date-time range the calendar functions handle: 0001/01/01 to the last
// millisecond of 9999/12/31.
constexpr double kMinDateTime = -693593.0;
constexpr double kMaxDateTime = 2958466.0;

}  // namespace

std::string& TTagContext::MemoSlot(int i) { return Character.Memos_.at(size_t(i)); }
double& TTagContext::CountSlot(int i) { return Character.Counts_.at(size_t(i)); }
bool& TTagContext::FlagSlot(int i) { return Character.Flags_.at(size_t(i)); }

std::u16string_view Slice(std::u16string_view text, int64_t i, int64_t j) {
  int64_t size = int64_t(text.size());
  if (i < 1) i = 1;
  if (j > size) j = size;
  if (j < i) return {};
  return text.substr(size_t(i - 1), size_t(j - i + 1));
}

std::u16string_view SliceFrom(std::u16string_view text, int64_t i) {
  return Slice(text, i, int64_t(text.size()));
}

char16_t CharAt(std::u16string_view text, int64_t i) {
  if (i < 1 || i > int64_t(text.size())) return 0;
  return text[size_t(i - 1)];
}

bool StartsWith(std::u16string_view text, std::u16string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

double ReadReal(std::u16string_view text) {
  auto value = platform::TextToFloat(text);
  if (!value || !std::isfinite(*value)) throw ETagError("not a real number");
  return *value;
}

int32_t ReadInt(std::u16string_view text) {
  auto value = platform::TextToInt(text);
  if (!value) throw ETagError("not a whole number");
  return *value;
}

bool IsTrueOperand(std::u16string_view text) { return text.substr(0, 4) == u"TRUE"; }

std::u16string RealText(double value) {
  if (!std::isfinite(value)) throw ETagError("floating-point fault");
  return platform::FloatToWide(value);
}

std::u16string IntText(int64_t value) {
  std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

std::u16string TruthText(bool value) { return BoolToWide(value); }

int64_t TruncToInt64(double value) {
  // 2^63 is exact as a double; the range is [-2^63, 2^63).
  if (!(value >= -9223372036854775808.0 && value < 9223372036854775808.0)) {
    throw ETagError("out of the 64-bit range");
  }
  return int64_t(value);
}

int32_t TruncToInt32(double value) {
  if (!(value > -2147483649.0 && value < 2147483648.0)) throw ETagError("out of the 32-bit range");
  return int32_t(value);
}

std::u16string DateText(std::string_view pattern, double date_time) {
  if (!(date_time >= kMinDateTime && date_time < kMaxDateTime)) {
    throw ETagError("no calendar date");
  }
  return ToWide(platform::FormatDateTime(pattern, date_time));
}

std::string ToAnsi(std::u16string_view wide) { return platform::WideToAnsi(wide); }

std::u16string ToWide(std::string_view ansi) { return platform::AnsiToWide(ansi); }

}  // namespace parlevo
