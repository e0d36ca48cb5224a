// Checking a character: loading's notes, the answer lint of every entry and
// the summary, gathered for any front end to show.
#include "app/check.h"

#include <algorithm>
#include <map>
#include <memory>

#include "data/lumo_data.h"
#include "engine/answer_check.h"
#include "engine/character.h"
#include "platform/codepage.h"
#include "platform/textfile.h"

namespace parlevo {
namespace {

void AddWarning(std::vector<TFinding>& findings, std::string_view file, int line,
                std::string_view ansi_message) {
  findings.push_back(
      {std::string(file), line, TFindingSeverity::kWarning, platform::AnsiToUtf8(ansi_message)});
}

// What every entry's answer, and every kind 0 condition, does wrong as
// written (answer_check.h), against the entry's file and line.
void CheckAnswers(const TCharacter& character, std::vector<TFinding>& findings) {
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
        AddWarning(findings, entry.File, entry.Line, problem);
      }
    }
  }
}

// Each file's findings together and in line order; files in the order
// loading reached them.
void SortFindings(std::vector<TFinding>& findings) {
  std::map<std::string, size_t> first_seen;
  for (const TFinding& finding : findings) first_seen.emplace(finding.File, first_seen.size());
  std::stable_sort(findings.begin(), findings.end(), [&](const TFinding& a, const TFinding& b) {
    const size_t fa = first_seen[a.File];
    const size_t fb = first_seen[b.File];
    return fa != fb ? fa < fb : a.Line < b.Line;
  });
}

TCheckSummary Summarize(const TCharacter& character) {
  TCheckSummary summary;
  summary.Name = platform::AnsiToUtf8(character.DisplayName());
  for (int i = 0; i < TCharacter::kSlotCount; ++i) {
    const TLumoData& slot = character.Slot(i);
    summary.Slots.push_back(
        {TCharacter::DataKey(i), slot.EntryCount(), slot.MarkerCount(), slot.Available()});
    summary.Entries += slot.EntryCount();
  }
  summary.Available = character.TotalAvailable();
  return summary;
}

}  // namespace

TCheckReport CheckCharacter(std::string_view base_file) {
  TCheckReport report;
  std::vector<TLoadNote> notes;
  std::unique_ptr<TCharacter> character;
  std::optional<TFinding> refusal;
  try {
    character = std::make_unique<TCharacter>(base_file, notes);
  } catch (const ELumoError& e) {
    refusal = TFinding{std::string(base_file), 0, TFindingSeverity::kError, e.what()};
  } catch (const platform::EFileError& e) {
    refusal = TFinding{std::string(e.Path()), 0, TFindingSeverity::kError, e.what()};
  }
  for (const TLoadNote& note : notes)
    AddWarning(report.Findings, note.File, note.Line, note.Message);
  if (character) CheckAnswers(*character, report.Findings);
  SortFindings(report.Findings);
  if (refusal) {
    report.Findings.push_back(std::move(*refusal));
  } else {
    report.Summary = Summarize(*character);
  }
  return report;
}

}  // namespace parlevo
