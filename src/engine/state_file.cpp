// The state file: slots 50-99 of the memos, counts and flags, enciphered with
// the character's name, read at load and written (atomically) at release.
#include <fstream>
#include <string>
#include <vector>

#include "data/crypt.h"
#include "data/text_helpers.h"
#include "engine/character.h"
#include "platform/numbers.h"
#include "platform/textfile.h"

namespace parlevo {
namespace {

// Slots 50..99 of each array are kept; the file holds them in three blocks.
constexpr int kFirstKept = 50;
constexpr int kKeptSlots = 50;
constexpr size_t kStateLines = 3 * kKeptSlots;

// Far more than 150 memos of any sensible length; a file whose lines go on
// beyond it is read as far as the budget, and so is too short to use.
constexpr size_t kStateByteBudget = 64u << 20;

// Reads no more of the file than the lines the state needs, so an oversized
// state file costs neither time nor memory. Every line counts at most two
// break bytes (CR LF), so twice the wanted breaks guarantees enough lines.
std::vector<std::string> ReadLeadingLines(const std::string& path, size_t wanted) {
  std::ifstream in(platform::NativePath(path), std::ios::binary);
  if (!in) throw platform::EFileError("cannot open " + path);
  std::string bytes;
  size_t breaks = 0;
  char chunk[1 << 16];
  while (breaks < 2 * (wanted + 1) && bytes.size() < kStateByteBudget) {
    in.read(chunk, sizeof chunk);
    std::streamsize got = in.gcount();
    if (got <= 0) break;
    std::string_view piece(chunk, static_cast<size_t>(got));
    bytes.append(piece);
    if (piece.find('\0') != std::string_view::npos) break;  // the text ends there
    for (char c : piece) breaks += (c == '\r' || c == '\n');
  }
  if (in.bad()) throw platform::EFileError("cannot read " + path);
  std::vector<std::string> lines = platform::SplitLines(bytes);
  if (lines.size() > wanted) lines.resize(wanted);
  return lines;
}

// A memo as one state file line. A line break would split the line and shift
// every later slot, so it is kept as the tag "{BR}", which gives the break
// back wherever the memo is shown. Other control characters do not survive
// the cipher and become blanks.
std::string MemoLine(const std::string& memo) {
  std::string line;
  line.reserve(memo.size());
  for (size_t i = 0; i < memo.size(); ++i) {
    char c = memo[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < memo.size() && memo[i + 1] == '\n') ++i;
      line += "{BR}";
    } else if (static_cast<unsigned char>(c) < 32) {
      line += ' ';
    } else {
      line += c;
    }
  }
  return line;
}

}  // namespace

void TCharacter::LoadState() {
  if (FileName.empty()) return;  // a character with no files has no state file
  std::string path = StatePath();
  if (!platform::FileExists(path)) {
    if (!WritesState()) return;  // the slots stay as a new state file has them
    SaveState();
  }
  // One key line more than the slots, in case the file is enciphered.
  std::vector<std::string> lines = ReadLeadingLines(path, kStateLines + 1);
  if (IsEncrypted(lines)) {
    TCrypt crypt(cmDecrypt);
    crypt.SetKey(ReadFileKey(lines));
    crypt.CryptLines(lines);
  }
  Memos.fill(std::string());
  Counts.fill(0);
  Flags.fill(false);
  if (lines.size() < kStateLines) return;
  for (int i = 0; i < kKeptSlots; ++i) {
    Memos[kFirstKept + i] = lines[i];
    Counts[kFirstKept + i] = platform::TextToFloat(lines[kKeptSlots + i]).value_or(0);
    Flags[kFirstKept + i] = TextToBool(lines[2 * kKeptSlots + i]);
  }
}

void TCharacter::SaveState() {
  if (FileName.empty()) return;
  std::vector<std::string> lines;
  lines.reserve(kStateLines + 1);
  for (int i = 0; i < kKeptSlots; ++i) lines.push_back(MemoLine(Memos[kFirstKept + i]));
  for (int i = 0; i < kKeptSlots; ++i)
    lines.push_back(platform::FloatToText(Counts[kFirstKept + i]));
  for (int i = 0; i < kKeptSlots; ++i) lines.push_back(BoolToText(Flags[kFirstKept + i]));
  TCrypt crypt(cmEncrypt);
  crypt.SetKey(Name);
  crypt.CryptLines(lines);
  platform::WriteTextLinesAtomic(StatePath(), lines);
}

}  // namespace parlevo
