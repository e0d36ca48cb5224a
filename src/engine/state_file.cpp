// The state file: slots 50-99 of the memos, counts and flags, enciphered with
// the character's name, read at load and written (atomically) at release.
#include <cerrno>
#include <fstream>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "data/crypt.h"
#include "data/text_helpers.h"
#include "engine/character.h"
#include "engine/memo_line.h"
#include "platform/codepage.h"
#include "platform/numbers.h"
#include "platform/textfile.h"

namespace parlevo {
namespace {

// Slots 50..99 of each array are kept; the file holds them in three blocks.
constexpr int kFirstKept = 50;
constexpr int kKeptSlots = 50;
constexpr size_t kStateLines = 3 * kKeptSlots;

// Damaged state files kept aside ("NAME.lts.bad" ...): the newest few, so a
// file that keeps being damaged cannot fill the folder.
constexpr int kMaxKeptDamaged = 3;

// Far more than 150 memos of any sensible length; a file whose lines go on
// beyond it is read as far as the budget, and so is too short to use.
constexpr size_t kStateByteBudget = 64u << 20;

// Reads no more of the file than the lines the state needs, so an oversized
// state file costs neither time nor memory. Every line counts at most two
// break bytes (CR LF), so twice the wanted breaks guarantees enough lines.
std::vector<std::string> ReadLeadingLines(const std::string& path, size_t wanted) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw platform::EFileError("cannot open file", path, errno);
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
  if (in.bad()) throw platform::EFileError("cannot read file", path, errno);
  std::vector<std::string> lines = platform::SplitLines(bytes);
  if (lines.size() > wanted) lines.resize(wanted);
  return lines;
}

// A count as saved. The 15-digit writer rounds the largest finite values up
// past the largest double ("1.79769313486232E308"); that text reads back as
// the largest finite value of its sign, so no count makes its own file
// damaged.
std::optional<double> ReadCount(const std::string& line) {
  if (std::optional<double> value = platform::TextToFloat(line)) return value;
  constexpr double kLargest = std::numeric_limits<double>::max();
  static const std::string largest = platform::FloatToText(kLargest);
  if (line == largest) return kLargest;
  if (line == "-" + largest) return -kLargest;
  return std::nullopt;
}

bool IsTruthText(const std::string& line) {
  const std::u16string folded = NormalizeText(platform::AnsiToWide(line));
  return folded == u"TRUE" || folded == u"FALSE" || platform::TextToInt(line).has_value();
}

bool HasControlBytes(const std::string& line) {
  for (char c : line) {
    if (static_cast<unsigned char>(c) < 32) return true;
  }
  return false;
}

// Why `lines` (deciphered, key line gone) are not a state file as this
// program writes one; "" when they are. `first` is the file line of lines[0].
std::string StateDamage(const std::vector<std::string>& lines, int first) {
  if (lines.size() < kStateLines) {
    return "too short: " + std::to_string(lines.size()) + " of " + std::to_string(kStateLines) +
           " lines";
  }
  for (int i = 0; i < kKeptSlots; ++i) {
    const int line = first + i;
    if (HasControlBytes(lines[i])) return "line " + std::to_string(line) + " is not text";
    if (lines[i].size() > kMaxMemoBytes) {
      return "line " + std::to_string(line) + " is a memo over " + std::to_string(kMaxMemoBytes) +
             " bytes";
    }
    if (!ReadCount(lines[kKeptSlots + i]).has_value()) {
      return "line " + std::to_string(line + kKeptSlots) + " is not a number";
    }
    if (!IsTruthText(lines[2 * kKeptSlots + i])) {
      return "line " + std::to_string(line + 2 * kKeptSlots) + " is not a truth value";
    }
  }
  return "";
}

}  // namespace

bool TCharacter::WriteFirstState() {
  try {
    SaveState();
    return true;
  } catch (const platform::EFileError& e) {
    // The character runs on its initial state; the save at release tries
    // again and reports it if it still fails.
    FirstStateError_ = e.what();
    return false;
  }
}

void TCharacter::LoadState() {
  // A character with no files has no state file; one that is no file is
  // left alone.
  if (FileName_.empty() || StateRefused_ || Options_.StateUse == TStateUse::kNone) return;
  const std::string path = StatePath();
  if (!platform::FileExists(path)) {
    if (!WritesState()) return;  // the slots stay as a new state file has them
    if (!WriteFirstState()) return;
  }
  // One key line more than the slots, in case the file is enciphered.
  std::vector<std::string> lines = ReadLeadingLines(path, kStateLines + 1);
  int first = 1;
  if (IsEncrypted(lines)) {
    TCrypt crypt(cmDecrypt);
    crypt.SetKey(ReadFileKey(lines));
    crypt.CryptLines(lines);
    first = 2;
  }
  Memos_.fill(std::string());
  Counts_.fill(0);
  Flags_.fill(false);
  const std::string damage = StateDamage(lines, first);
  if (!damage.empty() && WritesState()) KeepDamagedState(path, damage);
  if (lines.size() >= kStateLines) {
    for (int i = 0; i < kKeptSlots; ++i) {
      Memos_[kFirstKept + i] = CapMemoLine(lines[i]);
      Counts_[kFirstKept + i] = ReadCount(lines[kKeptSlots + i]).value_or(0);
      Flags_[kFirstKept + i] = TextToBool(lines[2 * kKeptSlots + i]);
    }
  }
  // What the file holds, as it would be written again; a damaged file
  // differs, so the next save replaces it.
  SavedLines_ = damage.empty() ? KeptLines() : std::vector<std::string>();
}

// The user's memory must not vanish without a trace: the file is renamed
// before the save at release replaces it, and the user is told.
void TCharacter::KeepDamagedState(const std::string& path, const std::string& damage) const {
  std::string message = "the state file \"" + path + "\" is damaged (" + damage + ")";
  try {
    const std::string kept = platform::KeepAside(path, "bad", kMaxKeptDamaged);
    message += "; it was kept as \"" + kept + "\" and a fresh one will be written";
  } catch (const platform::EFileError& e) {
    message += " and could not be kept aside: " + std::string(e.what());
  }
  ReportStateProblem(TStateProblem::kKeptAside, message);
}

std::vector<std::string> TCharacter::KeptLines() const {
  std::vector<std::string> lines;
  lines.reserve(kStateLines + 1);
  for (int i = 0; i < kKeptSlots; ++i) lines.push_back(MemoLine(Memos_[kFirstKept + i]));
  for (int i = 0; i < kKeptSlots; ++i)
    lines.push_back(platform::FloatToText(Counts_[kFirstKept + i]));
  for (int i = 0; i < kKeptSlots; ++i) lines.push_back(BoolToText(Flags_[kFirstKept + i]));
  return lines;
}

void TCharacter::SaveState() {
  if (FileName_.empty()) return;
  std::vector<std::string> kept = KeptLines();
  std::vector<std::string> lines = kept;
  TCrypt crypt(cmEncrypt);
  crypt.SetKey(Name_);
  crypt.CryptLines(lines);
  platform::WriteTextLinesAtomic(StatePath(), lines);
  SavedLines_ = std::move(kept);
}

void TCharacter::SaveChanges() {
  if (Name_.empty() || !WritesState() || StateRefused_) return;
  if (KeptLines() == SavedLines_) return;
  try {
    SaveState();
    SaveFailing_ = false;
  } catch (const std::exception& e) {
    // Said once: a full disk would otherwise be reported every few seconds.
    if (!SaveFailing_) ReportSaveError(e.what());
    SaveFailing_ = true;
  }
}

}  // namespace parlevo
