// Character code readers: stepping by whole characters both ways, the lone
// lead byte, UTF-16 units, escape bodies, and the factory.
#include "regex/reader.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace parlevo {
namespace {

// Reads every character (and the -1 after them), recording values and positions.
void ExpectReads(TbmWchReader& r, const std::vector<int32_t>& chars,
                 const std::vector<int32_t>& positions) {
  std::vector<int32_t> got_chars, got_positions;
  for (size_t i = 0; i < chars.size(); ++i) {
    got_chars.push_back(r.GetChar());
    got_positions.push_back(r.GetIndex());
  }
  EXPECT_EQ(got_chars, chars);
  EXPECT_EQ(got_positions, positions);
}

std::vector<int32_t> UngetAll(TbmWchReader& r) {
  std::vector<int32_t> positions;
  while (r.UngetChar()) positions.push_back(r.GetIndex());
  return positions;
}

TEST(Reader, ShiftJisStepsByWholeCharacters) {
  auto r = bmccCreateWchReader(bmccShiftJIS);
  r->SetText("\x82\xA0\x41");
  ExpectReads(*r, {0x82A0, 0x41, -1}, {2, 3, 4});
  EXPECT_EQ(UngetAll(*r), (std::vector<int32_t>{3, 2, 0}));
  EXPECT_FALSE(r->UngetChar());
  EXPECT_EQ(r->GetIndex(), 0);
  r->SetIndex(3);
  EXPECT_EQ(r->GetCharIndex(), 2);
}

TEST(Reader, LoneLeadByteNeverStepsPastTheEnd) {
  // The lone lead byte is still one character, lead * 256, but covers only
  // its own byte: no trail byte is invented beyond the text.
  auto r = bmccCreateWchReader(bmccShiftJIS);
  r->SetText("\x82");
  ExpectReads(*r, {0x8200, -1}, {1, 2});
  EXPECT_EQ(UngetAll(*r), (std::vector<int32_t>{1, 0}));
  r->SetText("a\x82");
  ExpectReads(*r, {'a', 0x8200, -1}, {1, 2, 3});
  EXPECT_EQ(UngetAll(*r), (std::vector<int32_t>{2, 1, 0}));
}

TEST(Reader, BackwardStepCountsLeadByteRuns) {
  // 0x82 0x82 0x82 0x41: the first two bytes form one character, then
  // 0x82 0x41 another; stepping back must land on those boundaries.
  auto r = bmccCreateWchReader(bmccShiftJIS);
  r->SetText("\x82\x82\x82\x41");
  ExpectReads(*r, {0x8282, 0x8241, -1}, {2, 4, 5});
  EXPECT_EQ(UngetAll(*r), (std::vector<int32_t>{4, 2, 0}));
}

TEST(Reader, EucWesternAndUniCode) {
  auto euc = bmccCreateWchReader(bmccEUC);
  euc->SetText("\x8E\xB1z");
  ExpectReads(*euc, {0x8EB1, 'z', -1}, {2, 3, 4});

  auto western = bmccCreateWchReader(bmccWestern);
  western->SetText("\x8E\xB1");
  ExpectReads(*western, {0x8E, 0xB1, -1}, {1, 2, 3});
  EXPECT_EQ(UngetAll(*western), (std::vector<int32_t>{2, 1, 0}));

  auto uni = bmccCreateWchReader(bmccUniCode);
  EXPECT_THROW(uni->SetTextBuff("abc", 3), std::runtime_error);
  uni->SetText(std::string("\x41\x00\x42\x30", 4));
  ExpectReads(*uni, {0x41, 0x3042, -1}, {2, 4, 6});
  EXPECT_EQ(UngetAll(*uni), (std::vector<int32_t>{4, 2, 0}));
  EXPECT_EQ(uni->GetCharIndex(), 0);
}

TEST(Reader, EscapeBodies) {
  struct Case {
    TbmCharCode code;
    std::string body;  // what follows the backslash
    int32_t value;
    std::string rest;  // what is left unread
  };
  const std::vector<Case> cases = {
      {bmccShiftJIS, "x4g", 4, "g"},
      {bmccShiftJIS, "xg", -1, "g"},
      {bmccShiftJIS, "101", 65, ""},
      {bmccShiftJIS, "777777", 077777, "7"},
      {bmccWestern, "777777", 077, "7777"},
      {bmccShiftJIS, "x12345", 0x1234, "5"},
      {bmccWestern, "x12345", 0x12, "345"},
      {bmccShiftJIS, "xFfz", 0xFF, "z"},
      {bmccShiftJIS, "n", 10, ""},
      {bmccShiftJIS, "r", 13, ""},
      {bmccShiftJIS, "d", 'd', ""},
      {bmccShiftJIS, "0", 0, ""},
      {bmccShiftJIS, "\x82\xA0", 0x82A0, ""},
      {bmccShiftJIS, "", -1, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.body);
    auto r = bmccCreateWchReader(c.code);
    r->SetText(c.body);
    EXPECT_EQ(r->ReadEscapeChar(), c.value);
    if (c.body.empty()) continue;
    EXPECT_EQ(r->GetText().substr(r->GetIndex()), c.rest);
  }
}

TEST(Reader, FactoryAndCodePages) {
  EXPECT_EQ(bmccCreateWchReader(bmccJIS), nullptr);
  EXPECT_NE(dynamic_cast<TbmSBCSReader*>(bmccCreateWchReader(bmccWestern).get()), nullptr);
  EXPECT_EQ(bmccCodePage2CharCode(932), bmccShiftJIS);
  EXPECT_EQ(bmccCodePage2CharCode(1252), bmccWestern);
  EXPECT_EQ(bmccCodePage2CharCode(1200), bmccUniCode);
  try {
    bmccCodePage2CharCode(437);
    ADD_FAILURE();
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "bmccCodePage2CharCode: unknown code page");
  }
  EXPECT_THROW(bmccGetIsLeadByteFunc(bmccUniCode), std::runtime_error);
  EXPECT_STREQ(bmccCharCodeName(bmccWestern), "Western (Windows-1252)");
}

}  // namespace
}  // namespace parlevo
