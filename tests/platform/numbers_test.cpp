// Tests for the number readers (whole, hexadecimal, real) and the general
// 15-digit writer with its choice between plain and exponent form.

#include "platform/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace parlevo::platform {
namespace {

TEST(Numbers, WholeNumbers) {
  const struct {
    const char* text;
    std::optional<int32_t> value;
  } cases[] = {
      {"0", 0},
      {"42", 42},
      {"  -17", -17},
      {"+5", 5},
      {"$1F", 31},
      {"x1f", 31},
      {"X10", 16},
      {"0x10", 16},
      {"0X7fffffff", 2147483647},
      {"-$10", -16},
      {"$FFFFFFFF", -1},  // hexadecimal covers the unsigned range and wraps
      {"2147483647", 2147483647},
      {"-2147483648", std::numeric_limits<int32_t>::min()},
      {"2147483648", std::nullopt},
      {"-2147483649", std::nullopt},
      {"$100000000", std::nullopt},
      {"99999999999999999999", std::nullopt},
      {"", std::nullopt},
      {"   ", std::nullopt},
      {"-", std::nullopt},
      {"$", std::nullopt},
      {"0x", std::nullopt},
      {"12 ", std::nullopt},  // nothing may follow
      {"12a", std::nullopt},
      {"1.0", std::nullopt},
      {"$1G", std::nullopt},
      {"--1", std::nullopt},
      {"\t1", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TextToInt(std::string_view(c.text)), c.value) << c.text;
    std::string s = c.text;
    EXPECT_EQ(TextToInt(std::u16string(s.begin(), s.end())), c.value) << c.text;
  }
}

TEST(Numbers, WholeNumbers64) {
  EXPECT_EQ(TextToInt64("9223372036854775807"), std::numeric_limits<int64_t>::max());
  EXPECT_EQ(TextToInt64("-9223372036854775808"), std::numeric_limits<int64_t>::min());
  EXPECT_EQ(TextToInt64("9223372036854775808"), std::nullopt);
  EXPECT_EQ(TextToInt64("2147483648"), 2147483648LL);
  EXPECT_EQ(TextToInt64("$FFFFFFFFFFFFFFFF"), -1);
  EXPECT_EQ(TextToInt64(u"0x100000000"), 4294967296LL);
}

TEST(Numbers, RealNumbers) {
  const struct {
    const char* text;
    std::optional<double> value;
  } cases[] = {
      {"3", 3.0},
      {" -0.5 ", -0.5},
      {"+.25", 0.25},
      {"5.", 5.0},
      {"1e3", 1000.0},
      {"1.5E-7", 1.5e-7},
      {"2E+2", 200.0},
      {"1e-400", 0.0},  // underflow reads as zero
      {"1e400", std::nullopt},
      {"1e", std::nullopt},
      {".", std::nullopt},
      {"", std::nullopt},
      {"inf", std::nullopt},
      {"nan", std::nullopt},
      {"0x10", std::nullopt},
      {"$10", std::nullopt},
      {"1,5", std::nullopt},
      {"1 2", std::nullopt},
      {"- 1", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TextToFloat(std::string_view(c.text)), c.value) << c.text;
    std::string s = c.text;
    EXPECT_EQ(TextToFloat(std::u16string(s.begin(), s.end())), c.value) << c.text;
  }
}

TEST(Numbers, GeneralFormat) {
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {3, "3"},
      {-0.5, "-0.5"},
      {1.0 / 3, "0.333333333333333"},
      {2.0 / 3, "0.666666666666667"},
      {3.14159265358979323846, "3.14159265358979"},
      {0.1 * 3, "0.3"},
      {0.1 + 0.2, "0.3"},
      {1e20, "1E20"},
      {1e15, "1E15"},
      {123456789012345.0, "123456789012345"},
      {999999999999999.0, "999999999999999"},
      {9999999999999999.0, "1E16"},
      {0.99999999999999999, "1"},
      {0.0001, "0.0001"},
      {0.00001, "1E-5"},
      {0.000015, "1.5E-5"},
      {0.00015, "0.00015"},
      {1e-6, "1E-6"},
      {1.5e-7, "1.5E-7"},
      {-1.5e-7, "-1.5E-7"},
      {0.0, "0"},
      {-0.0, "0"},
      {100, "100"},
      {-2147483648.0, "-2147483648"},
      {1.7976931348623157e308, "1.79769313486232E308"},
      {5e-324, "4.94065645841247E-324"},
      {12.5, "12.5"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FloatToText(c.value), c.text) << c.text;
  }
  EXPECT_EQ(FloatToWide(-0.25), u"-0.25");
}

TEST(Numbers, NonFiniteValuesAreNamed) {
  EXPECT_EQ(FloatToText(std::numeric_limits<double>::infinity()), "INF");
  EXPECT_EQ(FloatToText(-std::numeric_limits<double>::infinity()), "-INF");
  EXPECT_EQ(FloatToText(std::nan("")), "NAN");
}

TEST(Numbers, WrittenRealsReadBack) {
  for (double v : {1.0 / 7, -123.456, 6.02214076e23, 1.5e-7, 0.00001}) {
    std::optional<double> back = TextToFloat(FloatToText(v));
    ASSERT_TRUE(back.has_value());
    EXPECT_NEAR(*back, v, std::fabs(v) * 1e-14);
  }
}

}  // namespace
}  // namespace parlevo::platform
