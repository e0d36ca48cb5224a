// What a character's state file holds in its memory slots, read without
// writing anything, for the hover on a memo, count or flag tag.
#ifndef PARLEVO_APP_LSP_MEMORY_SLOTS_H_
#define PARLEVO_APP_LSP_MEMORY_SLOTS_H_

#include <array>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>

#include "engine/tag_table.h"

namespace parlevo::lsp {

// Keeps the kept slots of each character asked about, read again when its
// state file changes. One thread.
class TMemorySlots {
 public:
  // A sentence (UTF-8) on slot `slot` of the kind of memory a tag giving
  // `kind` holds (kNumber: counts, kTruth: flags, otherwise memos) of the
  // character of `base_file`: its value in the state file, or why there is
  // none.
  std::string Describe(const std::string& base_file, TTagResult kind, int slot);

 private:
  struct TKept {
    std::filesystem::file_time_type Written;
    std::string Problem;  // why the slots could not be read; empty when they were
    std::array<std::string, 50> Memos, Counts, Flags;  // UTF-8, slots 50-99
  };
  const TKept& Read(const std::string& base_file, const std::string& state_path);

  std::map<std::string, TKept> kept_;
};

}  // namespace parlevo::lsp

#endif  // PARLEVO_APP_LSP_MEMORY_SLOTS_H_
