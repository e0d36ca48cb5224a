// Checks code page 932 against glibc's iconv "CP932" as an independent oracle:
// every byte, every lead/trail pair and every BMP character, known differences listed.

#include <gtest/gtest.h>
#include <iconv.h>

#include <map>
#include <string>

#include "platform/codepage.h"

namespace parlevo::platform {
namespace {

// Converts `bytes` with iconv; false when iconv refuses (EILSEQ/EINVAL).
bool IconvDecode(iconv_t cd, const std::string& bytes, std::u16string& out) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char16_t buf[8];
  char* in = const_cast<char*>(bytes.data());
  size_t in_left = bytes.size();
  char* outp = reinterpret_cast<char*>(buf);
  size_t out_left = sizeof buf;
  if (iconv(cd, &in, &in_left, &outp, &out_left) == static_cast<size_t>(-1) || in_left != 0) {
    return false;
  }
  out.assign(buf, (sizeof buf - out_left) / sizeof(char16_t));
  return true;
}

class Oracle932 : public ::testing::Test {
 protected:
  void SetUp() override {
    cd_ = iconv_open("UTF-16LE", "CP932");
    if (cd_ == reinterpret_cast<iconv_t>(-1)) GTEST_SKIP() << "iconv has no CP932";
  }
  void TearDown() override {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  iconv_t cd_ = reinterpret_cast<iconv_t>(-1);
};

bool IsLead(int b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

TEST_F(Oracle932, SingleBytesAgreeWithIconv) {
  // iconv lacks Windows' single bytes 0x80, 0xA0 and 0xFD-0xFF; our table
  // has them (U+0080, U+F8F0, U+F8F1-U+F8F3).
  for (int b = 0; b < 256; ++b) {
    if (IsLead(b)) continue;
    std::string bytes(1, static_cast<char>(b));
    std::u16string expected;
    bool known = IconvDecode(cd_, bytes, expected);
    if (b == 0x80 || b == 0xA0 || b >= 0xFD) {
      EXPECT_FALSE(known) << "iconv now maps " << b;
      continue;
    }
    ASSERT_TRUE(known) << b;
    EXPECT_EQ(AnsiToWide(bytes, kCodePage932), expected) << b;
  }
}

TEST_F(Oracle932, DoubleBytesAgreeWithIconv) {
  int defined = 0;
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (!IsLead(lead)) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      if (trail == 0x7F) continue;
      std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
      std::u16string expected;
      std::u16string ours = AnsiToWide(bytes, kCodePage932);
      if (!IconvDecode(cd_, bytes, expected)) {
        EXPECT_EQ(ours, u"?") << std::hex << lead << " " << trail;
        continue;
      }
      ++defined;
      ASSERT_EQ(ours, expected) << std::hex << lead << " " << trail;
    }
  }
  EXPECT_EQ(defined, 7724 + 1880);  // Windows characters plus the user-defined area
}

TEST_F(Oracle932, EveryCharacterRoundTripsToWindowsPreferredForm) {
  iconv_t back = iconv_open("CP932", "UTF-16LE");
  ASSERT_NE(back, reinterpret_cast<iconv_t>(-1));
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (!IsLead(lead)) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      if (trail == 0x7F) continue;
      std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
      std::u16string wide = AnsiToWide(bytes, kCodePage932);
      if (wide == u"?") continue;
      std::string ours = WideToAnsi(wide, kCodePage932);
      // Duplicates encode to one preferred form, which decodes alike.
      ASSERT_EQ(AnsiToWide(ours, kCodePage932), wide);
      if (lead != 0xED && lead != 0xEE && lead != 0x87 && lead < 0xFA) {
        EXPECT_EQ(ours, bytes) << std::hex << lead << " " << trail;
      }
      // iconv's encoder follows the same preference.
      std::string expected(4, '\0');
      char* in = reinterpret_cast<char*>(wide.data());
      size_t in_left = wide.size() * 2;
      char* out = expected.data();
      size_t out_left = expected.size();
      iconv(back, nullptr, nullptr, nullptr, nullptr);
      ASSERT_NE(iconv(back, &in, &in_left, &out, &out_left), static_cast<size_t>(-1));
      expected.resize(expected.size() - out_left);
      EXPECT_EQ(ours, expected) << std::hex << lead << " " << trail;
    }
  }
  iconv_close(back);
}

TEST_F(Oracle932, EveryBmpCharacterEncodesAsIconvDoes) {
  // Known differences: iconv lacks Windows' single bytes, and writes U+2014
  // as 0x815C one way, which neither Python's nor Java's codec does.
  const std::map<char16_t, std::string> differences = {
      {0x0080, "\x80"}, {0x2014, "?"},    {0xF8F0, "\xA0"},
      {0xF8F1, "\xFD"}, {0xF8F2, "\xFE"}, {0xF8F3, "\xFF"},
  };
  iconv_t to932 = iconv_open("CP932", "UTF-16LE");
  ASSERT_NE(to932, reinterpret_cast<iconv_t>(-1));
  for (unsigned u = 0; u <= 0xFFFF; ++u) {
    if (u >= 0xD800 && u <= 0xDFFF) continue;
    std::u16string wide(1, static_cast<char16_t>(u));
    std::string expected(4, '\0');
    char* in = reinterpret_cast<char*>(wide.data());
    size_t in_left = 2;
    char* out = expected.data();
    size_t out_left = expected.size();
    iconv(to932, nullptr, nullptr, nullptr, nullptr);
    if (iconv(to932, &in, &in_left, &out, &out_left) == static_cast<size_t>(-1)) {
      expected = "?";
    } else {
      expected.resize(expected.size() - out_left);
    }
    auto known = differences.find(static_cast<char16_t>(u));
    if (known != differences.end()) {
      EXPECT_NE(expected, known->second) << std::hex << u;
      expected = known->second;
    }
    ASSERT_EQ(WideToAnsi(wide, kCodePage932), expected) << std::hex << u;
  }
  iconv_close(to932);
}

}  // namespace
}  // namespace parlevo::platform
