// Number texts as the tag language reads and writes them: whole numbers
// (decimal or hexadecimal after "$", "x" or "0x"), real numbers, and the
// general 15-significant-digit writer.
#ifndef PARLEVO_PLATFORM_NUMBERS_H_
#define PARLEVO_PLATFORM_NUMBERS_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace parlevo::platform {

// Whole number: optional leading spaces, optional sign, then decimal digits,
// or hexadecimal digits after "$", "x", "X", "0x" or "0X"; nothing may follow.
// Empty optional when the text does not convert or the value overflows.
// Hexadecimal takes the whole unsigned range and wraps ("$FFFFFFFF" is -1 as
// an int32_t), as the reference platform's reader does.
std::optional<int32_t> TextToInt(std::string_view text);
std::optional<int64_t> TextToInt64(std::string_view text);
std::optional<int32_t> TextToInt(std::u16string_view text);
std::optional<int64_t> TextToInt64(std::u16string_view text);

// Real number: optional spaces around it, optional sign, digits with "." as
// decimal point ("5." and ".5" are fine), optional exponent ("E" or "e",
// optional sign, digits). No hex, no "inf"/"nan". Empty optional when the
// text does not convert or overflows; a value too small to hold reads as 0.
std::optional<double> TextToFloat(std::string_view text);
std::optional<double> TextToFloat(std::u16string_view text);

// General format with up to 15 significant digits, no trailing zeros: "3",
// "-0.5", "0.333333333333333", "3.14159265358979". The value is rounded to 15
// digits (half away from zero) before the form is chosen, so 0.1 + 0.2 gives
// "0.3". Exponent form ("1E20", "1E15", "1.5E-7"; "E", a "-" only when
// negative, no leading zeros) when the rounded value has more than 15 digits
// before the point or is below 0.0001 ("1E-5"); "0" for both zeros. Infinities and
// NaN, which callers never pass, give "INF", "-INF" and "NAN".
std::string FloatToText(double value);

// "1 candidate", "3 candidates": a count and its noun, agreeing in number
// (`plural` when the noun does not just take an "s").
std::string CountText(int64_t count, std::string_view noun, std::string_view plural = {});
std::u16string FloatToWide(double value);

}  // namespace parlevo::platform

#endif  // PARLEVO_PLATFORM_NUMBERS_H_
