// The line cipher of enciphered data files and state files: each byte 32..255
// rotated within that range by a step taken from the key (its code mod 20),
// the key position restarting on every line; the file key is stored,
// enciphered with the master key, behind "encrypted" in the first line.
#ifndef PARLEVO_DATA_CRYPT_H_
#define PARLEVO_DATA_CRYPT_H_

#include <string>
#include <string_view>
#include <vector>

namespace parlevo {

inline constexpr std::string_view MasterKey = "AmberLanterns";
inline constexpr std::string_view kEncryptedTag = "encrypted";

enum TCryptMode : unsigned char { cmEncrypt = 0, cmDecrypt = 1 };

class TCrypt {
 public:
  explicit TCrypt(TCryptMode mode) : Mode(mode) {}

  void SetKey(std::string_view key);
  unsigned char CryptChar(unsigned char c, unsigned char step) const;
  std::string CryptString(std::string_view s) const;
  // Encrypt: enciphers every line and inserts the key line on top (nothing
  // for an empty list). Decrypt: drops the first line, deciphers the rest.
  void CryptLines(std::vector<std::string>& lines);

  const std::string& KeyText() const { return KeyText_; }
  int KeyLength() const { return static_cast<int>(KeySteps.size()); }

 private:
  TCryptMode Mode;
  std::vector<unsigned char> KeySteps;
  std::string KeyText_;
};

// The first line begins with "encrypted" in any letter case.
bool IsEncrypted(const std::vector<std::string>& lines);
bool IsEncryptedLine(std::string_view first_line);
// The deciphered file key of an enciphered file; "" otherwise.
std::string ReadFileKey(const std::vector<std::string>& lines);
std::string FileKeyOf(std::string_view first_line);

}  // namespace parlevo

#endif  // PARLEVO_DATA_CRYPT_H_
