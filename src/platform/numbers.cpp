// Number texts: whole-number and real-number readers that accept exactly the
// forms the tag language allows, and the general 15-digit real writer.
//
// The writer prints the value's decimal expansion to 31 significant digits,
// rounds that to 15 digits (half away from zero), drops trailing zeros and
// only then picks plain or exponent form, so 0.1 + 0.2 prints as "0.3".

#include "platform/numbers.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace parlevo::platform {

namespace {

constexpr int kPrecision = 15;

int HexValue(char16_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Reads a whole number of type T from any character type. Hexadecimal
// accepts the full unsigned range of T and wraps ("$FFFFFFFF" is -1), as the
// platform's integer reader does; decimal must fit T.
template <typename T, typename CharT>
std::optional<T> ParseInt(std::basic_string_view<CharT> text) {
  using U = std::make_unsigned_t<T>;
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  bool hex = false;
  if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i == text.size()) return std::nullopt;
  U value = 0;
  const U limit = hex ? std::numeric_limits<U>::max()
                      : static_cast<U>(std::numeric_limits<T>::max()) + (negative ? 1 : 0);
  const U base = hex ? 16 : 10;
  for (; i < text.size(); ++i) {
    int digit = hex ? HexValue(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
    if (digit < 0) return std::nullopt;
    if (value > (limit - static_cast<U>(digit)) / base) return std::nullopt;  // overflow
    value = value * base + static_cast<U>(digit);
  }
  if (negative) value = static_cast<U>(0) - value;
  return static_cast<T>(value);
}

// Checks the real-number syntax and copies the number (sign, digits, point,
// exponent) as plain ASCII for the converter; empty optional if malformed.
// `decimal_exponent` is an estimate of the value's magnitude (position of
// the first non-zero digit plus the exponent), telling overflow from
// underflow.
template <typename CharT>
std::optional<std::string> CleanFloat(std::basic_string_view<CharT> text, long& decimal_exponent) {
  size_t i = 0, end = text.size();
  while (i < end && text[i] == ' ') ++i;
  while (end > i && text[end - 1] == ' ') --end;
  std::string out;
  if (i < end && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') out += '-';
    ++i;
  }
  size_t digits = 0;
  long int_digits = 0, leading_zeros = 0;
  bool seen_nonzero = false;
  while (i < end && text[i] >= '0' && text[i] <= '9') {
    if (text[i] != '0') seen_nonzero = true;
    if (seen_nonzero) ++int_digits;
    out += static_cast<char>(text[i++]);
    ++digits;
  }
  if (i < end && text[i] == '.') {
    out += '.';
    ++i;
    while (i < end && text[i] >= '0' && text[i] <= '9') {
      if (text[i] != '0') seen_nonzero = true;
      if (!seen_nonzero) ++leading_zeros;
      out += static_cast<char>(text[i++]);
      ++digits;
    }
  }
  if (digits == 0) return std::nullopt;
  long exponent = 0;
  if (i < end && (text[i] == 'E' || text[i] == 'e')) {
    out += 'e';
    ++i;
    bool negative = false;
    if (i < end && (text[i] == '+' || text[i] == '-')) {
      negative = text[i] == '-';
      out += static_cast<char>(text[i++]);
    }
    size_t exp_digits = 0;
    while (i < end && text[i] >= '0' && text[i] <= '9') {
      if (exponent < 100000) exponent = exponent * 10 + (text[i] - '0');
      out += static_cast<char>(text[i++]);
      ++exp_digits;
    }
    if (exp_digits == 0) return std::nullopt;
    if (negative) exponent = -exponent;
  }
  if (i != end) return std::nullopt;
  decimal_exponent = (int_digits > 0 ? int_digits : -leading_zeros) + exponent;
  return out;
}

template <typename CharT>
std::optional<double> ParseFloat(std::basic_string_view<CharT> text) {
  long decimal_exponent = 0;
  std::optional<std::string> clean = CleanFloat(text, decimal_exponent);
  if (!clean) return std::nullopt;
  double value = 0;
  const char* first = clean->data();
  const char* last = first + clean->size();
  auto [ptr, ec] = std::from_chars(first, last, value);
  if (ec == std::errc::result_out_of_range) {
    if (decimal_exponent > 0) return std::nullopt;  // overflow
    return (*clean)[0] == '-' ? -0.0 : 0.0;         // underflow reads as zero
  }
  if (ec != std::errc() || ptr != last || !std::isfinite(value)) return std::nullopt;
  return value;
}

}  // namespace

std::optional<int32_t> TextToInt(std::string_view text) { return ParseInt<int32_t>(text); }
std::optional<int64_t> TextToInt64(std::string_view text) { return ParseInt<int64_t>(text); }
std::optional<int32_t> TextToInt(std::u16string_view text) { return ParseInt<int32_t>(text); }
std::optional<int64_t> TextToInt64(std::u16string_view text) { return ParseInt<int64_t>(text); }

std::optional<double> TextToFloat(std::string_view text) { return ParseFloat(text); }
std::optional<double> TextToFloat(std::u16string_view text) { return ParseFloat(text); }

std::string FloatToText(double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0) return "0";
  // d.ddd...e±x with 31 significant digits; then round to kPrecision.
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.30e", std::fabs(value));
  std::string digits;
  const char* p = buf;
  for (; *p != 'e'; ++p) {
    if (*p != '.') digits += *p;
  }
  int exponent = std::atoi(p + 1) + 1;  // value = 0.DIGITS * 10^exponent
  bool round_up = digits[kPrecision] >= '5';
  digits.resize(kPrecision);
  if (round_up) {
    int k = kPrecision - 1;
    while (k >= 0 && digits[k] == '9') digits[k--] = '0';
    if (k < 0) {
      digits.insert(digits.begin(), '1');
      digits.pop_back();
      ++exponent;
    } else {
      ++digits[k];
    }
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  const int n = static_cast<int>(digits.size());

  std::string out = value < 0 ? "-" : "";
  if (exponent > kPrecision || exponent < -3) {
    // Exponent form: "1E20", "-1.5E-7".
    out += digits[0];
    if (n > 1) out.append(".").append(digits, 1);
    out.append("E").append(std::to_string(exponent - 1));
  } else if (exponent <= 0) {
    out += "0." + std::string(-exponent, '0') + digits;
  } else if (exponent < n) {
    out += digits.substr(0, exponent) + "." + digits.substr(exponent);
  } else {
    out += digits + std::string(exponent - n, '0');
  }
  return out;
}

std::u16string FloatToWide(double value) {
  std::string text = FloatToText(value);
  return std::u16string(text.begin(), text.end());  // ASCII only
}

std::string CountText(int64_t count, std::string_view noun, std::string_view plural) {
  std::string text = std::to_string(count) + " ";
  if (count == 1) return text + std::string(noun);
  return text + (plural.empty() ? std::string(noun) + "s" : std::string(plural));
}

}  // namespace parlevo::platform
