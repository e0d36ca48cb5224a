// Memory slot values for hovers: the character is loaded read-only (its state
// file read, never written or kept aside) and only the kept slots stay.
#include "app/lsp/memory_slots.h"

#include <memory>
#include <system_error>

#include "data/character_file.h"
#include "data/text_helpers.h"
#include "engine/character.h"
#include "platform/codepage.h"
#include "platform/numbers.h"
#include "platform/textfile.h"

namespace parlevo::lsp {
namespace {

constexpr int kFirstKept = 50;

// Where the character of `base_file` keeps its state: its data folder, the
// base file's name with ".lts".
std::string StatePathOf(const std::string& base_file) {
  const TCharacterFile base(base_file);
  const std::string stem = std::filesystem::path(base_file).stem().string();
  return ResolveDataFolder(base_file, base.GetValue("folder")) + stem + ".lts";
}

}  // namespace

const TMemorySlots::TKept& TMemorySlots::Read(const std::string& base_file,
                                              const std::string& state_path) {
  std::error_code error;
  const auto written = std::filesystem::last_write_time(state_path, error);
  const auto found = kept_.find(base_file);
  if (found != kept_.end() && found->second.Written == written) return found->second;
  TKept kept;
  kept.Written = written;
  try {
    TCharacter character(base_file, TCharacterOptions(TStateUse::kReadOnly));
    for (int i = 0; i < 50; ++i) {
      const auto at = static_cast<size_t>(i);
      kept.Memos[at] = platform::AnsiToUtf8(character.Memo(kFirstKept + i));
      kept.Counts[at] = platform::FloatToText(character.Count(kFirstKept + i));
      kept.Flags[at] = BoolToText(character.Flag(kFirstKept + i));
    }
  } catch (const std::exception& e) {
    kept.Problem = e.what();
  }
  return kept_[base_file] = std::move(kept);
}

std::string TMemorySlots::Describe(const std::string& base_file, TTagResult kind, int slot) {
  if (slot < 0 || slot >= TCharacter::kMemorySlots)
    return "slot " + std::to_string(slot) + ": there is no such slot (0 to 99)";
  const std::string name = "slot " + std::to_string(slot);
  if (slot < kFirstKept) {
    return name + ": not kept between runs; it starts empty when the character is loaded";
  }
  std::string state_path;
  try {
    state_path = StatePathOf(base_file);
  } catch (const platform::EFileError& e) {
    return name + ": the base file cannot be read: " + e.what();
  }
  if (!platform::FileExists(state_path)) {
    return name + ": there is no state file yet (" + state_path + "), so it holds nothing";
  }
  const TKept& kept = Read(base_file, state_path);
  if (!kept.Problem.empty()) return name + ": the state file cannot be read: " + kept.Problem;
  const auto at = static_cast<size_t>(slot - kFirstKept);
  const std::string& value = kind == TTagResult::kNumber  ? kept.Counts[at]
                             : kind == TTagResult::kTruth ? kept.Flags[at]
                                                          : kept.Memos[at];
  return name + " in the state file: " + (value.empty() ? "(empty)" : "`" + value + "`");
}

}  // namespace parlevo::lsp
