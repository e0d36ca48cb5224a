// Tests of the line cipher: round trips, the key line, the step rule and
// the first-line tests.
#include "data/crypt.h"

#include <gtest/gtest.h>

namespace parlevo {
namespace {

std::string AllCipherBytes() {
  std::string s;
  for (int c = 32; c <= 255; ++c) s += static_cast<char>(c);
  return s;
}

TEST(Crypt, EveryByteFrom32RoundTripsAndStaysInRange) {
  for (std::string key : {"Robo", "AmberLanterns", "\x83\x8D\x83\x7B", "x"}) {
    TCrypt enc(cmEncrypt), dec(cmDecrypt);
    enc.SetKey(key);
    dec.SetKey(key);
    const std::string plain = AllCipherBytes();
    const std::string secret = enc.CryptString(plain);
    ASSERT_EQ(secret.size(), plain.size());
    for (char c : secret) EXPECT_GE(static_cast<unsigned char>(c), 32);
    EXPECT_EQ(dec.CryptString(secret), plain) << key;
  }
}

TEST(Crypt, StepsComeFromKeyBytesModulo20) {
  TCrypt enc(cmEncrypt);
  enc.SetKey("(\x15");  // 40 -> step 0, 21 -> step 1
  EXPECT_EQ(enc.KeyLength(), 2);
  EXPECT_EQ(enc.CryptString("AAA"), "ABA");
  EXPECT_EQ(enc.CryptChar(255, 1), 32);
  EXPECT_EQ(enc.CryptChar(250, 19), 45);
  TCrypt dec(cmDecrypt);
  EXPECT_EQ(dec.CryptChar(32, 1), 255);
  // A tab enciphers below 32 and does not come back.
  EXPECT_EQ(enc.CryptChar('\t', 4), 13);
  EXPECT_NE(dec.CryptChar(13, 4), '\t');
}

TEST(Crypt, EmptyKeyChangesNothing) {
  TCrypt enc(cmEncrypt);
  EXPECT_EQ(enc.CryptString("plain text"), "plain text");
  std::vector<std::string> lines = {"a", "b"};
  enc.CryptLines(lines);
  EXPECT_EQ(lines, (std::vector<std::string>{"encrypted", "a", "b"}));
  EXPECT_EQ(ReadFileKey(lines), "");
}

TEST(Crypt, LinesCarryTheirKeyAndRestartTheKeyEachLine) {
  std::vector<std::string> lines = {"hello", "hello", "", "\x82\xB1\x82\xF1"};
  const std::vector<std::string> plain = lines;
  TCrypt enc(cmEncrypt);
  enc.SetKey("Robo");
  enc.CryptLines(lines);
  EXPECT_EQ(enc.KeyText(), "Robo");  // the object keeps its own key
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_TRUE(IsEncrypted(lines));
  EXPECT_EQ(lines[0].substr(0, 9), "encrypted");
  EXPECT_EQ(lines[1], lines[2]);
  EXPECT_NE(lines[1], "hello");
  EXPECT_EQ(ReadFileKey(lines), "Robo");

  TCrypt dec(cmDecrypt);
  dec.SetKey(ReadFileKey(lines));
  dec.CryptLines(lines);
  EXPECT_EQ(lines, plain);
}

TEST(Crypt, EmptyListStaysEmptyAndDecipherDropsAnyFirstLine) {
  std::vector<std::string> none;
  TCrypt enc(cmEncrypt);
  enc.SetKey("Robo");
  enc.CryptLines(none);
  EXPECT_TRUE(none.empty());

  std::vector<std::string> lines = {"not a key line", "x"};
  TCrypt dec(cmDecrypt);
  dec.CryptLines(lines);
  EXPECT_EQ(lines, std::vector<std::string>{"x"});
}

TEST(IsEncrypted, TagInAnyCaseOnTheFirstLine) {
  struct Case {
    std::vector<std::string> lines;
    bool out;
  } cases[] = {
      {{"encrypted"}, true}, {{"ENCRYPTED abc"}, true}, {{"Encrypted", "x"}, true},
      {{"encrypte"}, false}, {{" encrypted"}, false},   {{"x", "encrypted"}, false},
      {{}, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsEncrypted(c.lines), c.out) << (c.lines.empty() ? "" : c.lines[0]);
  }
  EXPECT_EQ(ReadFileKey({"plain"}), "");
}

}  // namespace
}  // namespace parlevo
