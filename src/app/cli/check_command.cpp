// parlevo-cli check: loads a character as the program would and lists what
// loading passes over in silence, then how many entries each data slot holds.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/cli/command.h"
#include "app/cli/load_character.h"
#include "data/lumo_data.h"
#include "engine/answer_check.h"
#include "engine/character.h"
#include "platform/codepage.h"

namespace parlevo::cli {
namespace {

// "FILE:LINE: message", the form editors and terminals link to the line.
// The file is a native path (printed as it is), the message code page text.
void PrintNote(const TLoadNote& note) {
  std::string line = note.File;
  if (note.Line > 0) line += ":" + std::to_string(note.Line);
  line += ": " + platform::AnsiToUtf8(note.Message);
  PrintLine(line);
}

void PrintSummary(TCharacter& character) {
  int64_t entries = 0;
  for (int i = 0; i < TCharacter::kSlotCount; ++i) {
    TLumoData& slot = character.Slot(i);
    entries += slot.EntryCount();
    PrintAnsiLine(std::string(TCharacter::DataKey(i)) + ": entries " +
                  std::to_string(slot.EntryCount()) + ", markers " +
                  std::to_string(slot.MarkerCount()) + ", available " +
                  std::to_string(slot.Available()));
  }
  PrintAnsiLine(character.DisplayName() + ": entries " + std::to_string(entries) + ", available " +
                std::to_string(character.TotalAvailable()));
}

// Notes what every entry's answer, and every kind 0 condition, does wrong as
// written (answer_check.h), against the entry's file and line.
void NoteAnswers(TCharacter& character, std::vector<TLoadNote>& notes) {
  for (int i = 0; i < TCharacter::kSlotCount; ++i) {
    const TLumoData& slot = character.Slot(i);
    for (int32_t e = 0; e < slot.EntryCount(); ++e) {
      const TEntryDescription entry = slot.Describe(e);
      if (entry.Marker) continue;
      std::vector<std::string> problems = CheckAnswer(entry.Answer);
      if (entry.Condition) {
        for (std::string& problem : CheckCondition(*entry.Condition)) {
          problems.push_back(std::move(problem));
        }
      }
      for (const std::string& problem : problems) {
        notes.push_back({std::string(entry.File), entry.Line, problem});
      }
    }
  }
}

// Each file's notes together and in line order; files in the order loading
// reached them.
void SortNotes(std::vector<TLoadNote>& notes) {
  std::map<std::string, size_t> first_seen;
  for (const TLoadNote& note : notes) first_seen.emplace(note.File, first_seen.size());
  std::stable_sort(notes.begin(), notes.end(), [&](const TLoadNote& a, const TLoadNote& b) {
    size_t fa = first_seen[a.File];
    size_t fb = first_seen[b.File];
    return fa != fb ? fa < fb : a.Line < b.Line;
  });
}

struct CheckOptions {
  bool strict = false;
  std::string base_file;
};

int RunCheck(const CheckOptions& options) {
  const std::string& base_file = options.base_file;
  std::vector<TLoadNote> notes;
  std::unique_ptr<TCharacter> character;
  try {
    character = InspectCharacter(base_file, notes);
  } catch (const CommandError&) {
    SortNotes(notes);
    for (const TLoadNote& note : notes) PrintNote(note);  // they may say why
    throw;
  }
  NoteAnswers(*character, notes);
  SortNotes(notes);
  for (const TLoadNote& note : notes) PrintNote(note);
  PrintSummary(*character);
  return options.strict && !notes.empty() ? kExitFailure : kExitOk;
}

CommandRunner SetUpCheck(CLI::App& app) {
  auto options = std::make_shared<CheckOptions>();
  CLI::App* check =
      app.add_subcommand("check", "Load a character and list what loading passes over in silence");
  check->add_flag("--strict", options->strict, "exit with status 1 when anything was noted");
  check->add_option("basefile", options->base_file, "the character's base file")->required();
  return [options] { return RunCheck(*options); };
}

const CommandRegistrar kCheckCommand(50, SetUpCheck);

}  // namespace
}  // namespace parlevo::cli
