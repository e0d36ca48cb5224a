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

// Whole number: optional leading blanks, optional sign, then decimal digits,
// or hexadecimal digits after "$", "x", "X", "0x" or "0X"; nothing may follow.
// Empty optional when the text does not convert or the value overflows.
std::optional<int32_t> TextToInt(std::string_view text);
std::optional<int64_t> TextToInt64(std::string_view text);
std::optional<int32_t> TextToInt(std::u16string_view text);
std::optional<int64_t> TextToInt64(std::u16string_view text);

// Real number: optional blanks around it, optional sign, digits with "." as
// decimal point, optional exponent ("E", optional sign, digits). No hex, no
// "inf"/"nan". Empty optional when the text does not convert or overflows.
std::optional<double> TextToFloat(std::string_view text);
std::optional<double> TextToFloat(std::u16string_view text);

// General format with up to 15 significant digits, no trailing zeros: "3",
// "-0.5", "0.333333333333333", "3.14159265358979"; exponent form ("1E20",
// "1.5E-7") when the decimal exponent is below -5 or at least 15.
std::string FloatToText(double value);
std::u16string FloatToWide(double value);

}  // namespace parlevo::platform

#endif  // PARLEVO_PLATFORM_NUMBERS_H_
