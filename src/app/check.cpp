// Checking a character: loading's notes, the answer lint of every entry and
// the summary, gathered for any front end to show.
#include "app/check.h"

#include <algorithm>
#include <map>
#include <memory>

#include "app/check_fields.h"
#include "app/check_files.h"
#include "app/check_starvation.h"
#include "data/lumo_data.h"
#include "data/text_helpers.h"
#include "data/written_entries.h"
#include "engine/answer_check.h"
#include "engine/character.h"
#include "platform/codepage.h"
#include "platform/textfile.h"

namespace parlevo {
namespace {

TFinding Finding(std::string_view file, int line, TFindingSeverity severity,
                 std::string utf8_message, std::string_view code) {
  TFinding finding;
  finding.File = std::string(file);
  finding.Line = line;
  finding.Severity = severity;
  finding.Message = std::move(utf8_message);
  finding.Code = code;
  return finding;
}

// A load note as a finding: its message is UTF-8 already.
void AddLoadNote(std::vector<TFinding>& findings, const TLoadNote& note) {
  const TFindingSeverity severity =
      note.Level == TLoadNoteLevel::kNote ? TFindingSeverity::kNote : TFindingSeverity::kWarning;
  findings.push_back(Finding(note.File, note.Line, severity, note.Message,
                             note.Code.empty() ? "load-note" : note.Code));
}

TFinding Refusal(std::string_view file, const std::string& message, std::string_view code) {
  return Finding(file, 0, TFindingSeverity::kError, message, code);
}

// Entry `e` of `slot` as written; nothing when it cannot be read back.
std::optional<TWrittenEntry> ReadBack(TWrittenEntries& written, const TLumoData& slot, int32_t e) {
  try {
    return written.Read(slot, e);
  } catch (const platform::EFileError&) {
    return std::nullopt;  // it was read moments ago; loading reports a file that fails
  }
}

// Points `finding` at the characters `problem` is about, in field `field` of
// the written line, when the text checked (`text`, ANSI) is that field's as
// written (folding "#" changes its length).
void Place(TFinding& finding, const TTextProblem& problem, std::string_view text,
           const std::optional<TWrittenEntry>& written, size_t field) {
  if (!written || field >= written->Fields.size()) return;
  const TCommaField& placed = written->Fields[field];
  const size_t length = platform::AnsiToWide(text).size();
  if (platform::AnsiToWide(placed.Text).size() != length) return;
  const std::optional<int> column = FieldColumn(written->Line, placed);
  if (!column) return;
  finding.Column = *column + static_cast<int>(problem.Begin);
  finding.EndColumn = *column + static_cast<int>(problem.End > 0 ? problem.End : length);
}

void AddProblems(std::vector<TFinding>& findings, const TEntryDescription& entry,
                 const std::vector<TTextProblem>& problems, std::string_view text,
                 const std::optional<TWrittenEntry>& written, size_t field) {
  for (const TTextProblem& problem : problems) {
    TFinding finding = Finding(entry.File, entry.Line, TFindingSeverity::kWarning,
                               platform::AnsiToUtf8(problem.Message), problem.Code);
    if (problem.Fix) finding.Fix = platform::AnsiToUtf8(*problem.Fix);
    Place(finding, problem, text, written, field);
    findings.push_back(std::move(finding));
  }
}

// What every entry's answer, and every kind 0 condition, does wrong as
// written (answer_check.h), against the entry's file, line and columns.
void CheckAnswers(const TCharacter& character, TWrittenEntries& written,
                  std::vector<TFinding>& findings) {
  for (int i = 0; i < TCharacter::kSlotCount; ++i) {
    const TLumoData& slot = character.Slot(i);
    for (int32_t e = 0; e < slot.EntryCount(); ++e) {
      const TEntryDescription entry = slot.Describe(e);
      if (entry.Marker) continue;
      const std::optional<TWrittenEntry> line = ReadBack(written, slot, e);
      const size_t answer_field = line ? line->Patterns.size() : 0;
      AddProblems(findings, entry, CheckAnswer(entry.Answer), entry.Answer, line, answer_field);
      if (entry.Condition) {
        AddProblems(findings, entry, CheckCondition(*entry.Condition), *entry.Condition, line, 0);
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

std::string_view SeverityName(TFindingSeverity severity) {
  switch (severity) {
    case TFindingSeverity::kError:
      return "error";
    case TFindingSeverity::kNote:
      return "note";
    default:
      return "warning";
  }
}

TCheckReport CheckCharacter(std::string_view base_file) {
  TCheckReport report;
  std::vector<TLoadNote> notes;
  std::unique_ptr<TCharacter> character;
  std::optional<TFinding> refusal;
  try {
    character = std::make_unique<TCharacter>(base_file, notes);
  } catch (const ELumoInvalidCharacter& e) {
    const std::string detail = e.Detail().empty() ? "" : " (" + e.Detail() + ")";
    refusal = Refusal(base_file, e.what() + detail, e.Code());
  } catch (const ELumoError& e) {
    refusal = Refusal(base_file, e.what(), "refused");
  } catch (const platform::EFileError& e) {
    refusal = Refusal(e.Path(), e.what(), "file-error");
  }
  for (const TLoadNote& note : notes) AddLoadNote(report.Findings, note);
  CheckBaseFileKeys(base_file, report.Findings);
  if (character) {
    CheckUnlistedFiles(*character, report.Findings);
    TWrittenEntries written;
    try {
      CheckExtraFields(*character, written, report.Findings);
    } catch (const platform::EFileError&) {
      // A file read moments ago that fails now: loading's to report.
    }
    CheckAnswers(*character, written, report.Findings);
    CheckStarvation(*character, report.Findings);
    CheckRepeatedPatterns(*character, report.Findings);
  }
  SortFindings(report.Findings);
  if (refusal) {
    report.Findings.push_back(std::move(*refusal));
  } else {
    report.Summary = Summarize(*character);
  }
  return report;
}

}  // namespace parlevo
