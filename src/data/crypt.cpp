// The line cipher of enciphered data files and state files: each byte 32..255
// rotated within that range by a step taken from the key.
#include "data/crypt.h"

#include "platform/codepage.h"

namespace parlevo {

namespace {

constexpr int kLowestByte = 32;   // bytes below are not rotated...
constexpr int kByteRange = 224;   // ...within the 224 values 32..255
constexpr int kStepModulus = 20;  // a key byte gives a step of 0..19

}  // namespace

void TCrypt::SetKey(std::string_view key) {
  KeyText_.assign(key);
  KeySteps.clear();
  KeySteps.reserve(key.size());
  for (char c : key) KeySteps.push_back(static_cast<unsigned char>(c) % kStepModulus);
}

unsigned char TCrypt::CryptChar(unsigned char c, unsigned char step) const {
  int r;
  if (Mode == cmEncrypt) {
    r = c + step;
    if (r > 255) r -= kByteRange;
  } else {
    r = c - step;
    if (r < kLowestByte) r += kByteRange;
  }
  // Always within 0..255: bytes below 32 encipher to at most 50 and decipher
  // into 205..255 (they are not expected in enciphered text).
  return static_cast<unsigned char>(r);
}

std::string TCrypt::CryptString(std::string_view s) const {
  std::string out(s);
  if (KeySteps.empty()) return out;
  size_t p = 0;  // the key position restarts on every line
  for (char& c : out) {
    c = static_cast<char>(CryptChar(static_cast<unsigned char>(c), KeySteps[p]));
    if (++p == KeySteps.size()) p = 0;
  }
  return out;
}

void TCrypt::CryptLines(std::vector<std::string>& lines) {
  if (lines.empty()) return;
  if (Mode == cmEncrypt) {
    for (std::string& line : lines) line = CryptString(line);
    std::string file_key = KeyText_;
    SetKey(MasterKey);
    lines.insert(lines.begin(), std::string(kEncryptedTag) + CryptString(file_key));
    SetKey(file_key);
  } else {
    lines.erase(lines.begin());  // the key line, whatever it holds
    for (std::string& line : lines) line = CryptString(line);
  }
}

bool IsEncryptedLine(std::string_view first_line) {
  if (first_line.size() < kEncryptedTag.size()) return false;
  return platform::AnsiLower(first_line.substr(0, kEncryptedTag.size())) == kEncryptedTag;
}

bool IsEncrypted(const std::vector<std::string>& lines) {
  return !lines.empty() && IsEncryptedLine(lines.front());
}

std::string FileKeyOf(std::string_view first_line) {
  if (!IsEncryptedLine(first_line)) return std::string();
  TCrypt master(cmDecrypt);
  master.SetKey(MasterKey);
  return master.CryptString(first_line.substr(kEncryptedTag.size()));
}

std::string ReadFileKey(const std::vector<std::string>& lines) {
  return lines.empty() ? std::string() : FileKeyOf(lines.front());
}

}  // namespace parlevo
