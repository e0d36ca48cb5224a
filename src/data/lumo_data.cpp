// The scheme shared by the four kinds of knowledge data: files read whole
// (plain or enciphered) into one flat entry table with origins and tiers, the
// end marker, the tier-by-tier pick, and the notes for the personality author.
#include "data/lumo_data.h"

#include <algorithm>

#include "data/crypt.h"
#include "data/file_budget.h"
#include "data/lumo_internal.h"
#include "data/personality_text.h"
#include "platform/textfile.h"

namespace parlevo {

TLumoData::TLumoData(bool use_once, TEvaluateFunc on_evaluate)
    : OnEvaluate_(std::move(on_evaluate)), UseOnce_(use_once) {}

TLumoData::~TLumoData() = default;

// ---------------------------------------------------------------------------
// Loading
// ---------------------------------------------------------------------------

namespace {

// Deciphers an enciphered file's lines in place; returns the file line of
// lines[0] (2 behind a key line, else 1).
int Decipher(TTextLines& lines) {
  if (lines.empty() || !IsEncryptedLine(lines[0])) return 1;
  TCrypt crypt(cmDecrypt);
  crypt.SetKey(FileKeyOf(lines[0]));
  TTextLines plain;
  for (size_t i = 1; i < lines.size(); ++i) plain.Add(crypt.CryptString(lines[i]));
  lines = std::move(plain);
  return 2;
}

}  // namespace

std::vector<std::string> ReadDataLines(std::string_view file_name, int& first_line) {
  TPersonalityLines text = ReadPersonalityLines(file_name);
  first_line = Decipher(text.Lines);
  std::vector<std::string> lines;
  lines.reserve(text.Lines.size());
  for (size_t i = 0; i < text.Lines.size(); ++i) lines.emplace_back(text.Lines[i]);
  return lines;
}

void TLumoData::LoadFromFile(std::string_view file_name, size_t max_lines) {
  if (!platform::FileExists(file_name)) return;
  TPersonalityLines text = ReadPersonalityLines(file_name, max_lines);
  LinesRead_ += text.Lines.size();
  if (NotesOn()) Notes_->insert(Notes_->end(), text.Notes.begin(), text.Notes.end());
  TTextLines& lines = text.Lines;
  const int first_line = Decipher(lines);  // file line of lines[0]
  const size_t first_note = NotesOn() ? Notes_->size() : 0;
  Files_.emplace_back(file_name);
  FileStarts_.push_back(EntryCount());
  AddLines(lines, first_line, static_cast<int32_t>(Files_.size() - 1));
  text = TPersonalityLines();  // the entries hold what they need: free the lines before compiling
  Prepare();
  // Compile notes come from Prepare, after the others: put the file's notes
  // in line order.
  if (NotesOn()) {
    std::stable_sort(Notes_->begin() + static_cast<std::ptrdiff_t>(first_note), Notes_->end(),
                     [](const TLoadNote& a, const TLoadNote& b) { return a.Line < b.Line; });
  }
}

void TLumoData::AddLines(const TTextLines& lines, int first_line, int32_t file) {
  lumo::GrowEntries(Entries_, Entries_.size() + lines.size());
  ReserveEntries(Entries_.size() + lines.size());
  for (size_t i = 0; i < lines.size(); ++i) {
    const int line_number = first_line + static_cast<int>(i);
    // The entry and its origin go first, so AddLine can already note
    // against it.
    TLumoEntry& entry = Entries_.emplace_back();
    entry.Line = line_number;
    size_t fields = 0;
    const TLineResult result = AddLine(lines[i], fields, entry);
    if (result == TLineResult::kShort || result == TLineResult::kEndOfData) Entries_.pop_back();
    if (result == TLineResult::kShort) {
      if (NotesOn()) {
        Notes_->push_back({Files_[static_cast<size_t>(file)], line_number,
                           "too few fields (" + std::to_string(fields) + " of " +
                               std::to_string(MinimumFields()) + "), line ignored",
                           "too-few-fields"});
      }
      continue;
    }
    if (result == TLineResult::kEndOfData) {
      if (NotesOn()) NoteHiddenLines(Files_[static_cast<size_t>(file)], line_number, lines, i + 1);
      break;
    }
    if (TierStarts_.empty()) TierStarts_.push_back(EntryCount() - 1);
    if (result == TLineResult::kMarker) {
      Entries_.back().Marker = true;
      ++MarkerCount_;
      TierStarts_.push_back(EntryCount());  // the next tier starts after it
    } else {
      ++Available_;
    }
  }
}

// ---------------------------------------------------------------------------
// Picking an answer, describing an entry
// ---------------------------------------------------------------------------

int32_t TLumoData::FileOf(int32_t index) const {
  // The last file starting at or before the entry: files that added no
  // entries start where the next one does.
  return static_cast<int32_t>(std::upper_bound(FileStarts_.begin(), FileStarts_.end(), index) -
                              FileStarts_.begin() - 1);
}

std::pair<int32_t, int32_t> TLumoData::TierBounds(int32_t tier) const {
  const auto t = static_cast<size_t>(tier - 1);
  const int32_t begin = TierStarts_.at(t);
  // A tier ends at the marker that opens the next one.
  const int32_t end = t + 1 < TierStarts_.size() ? TierStarts_[t + 1] - 1 : EntryCount();
  return {begin, end};
}

std::optional<TPick> TLumoData::Pick(std::string_view input) {
  std::optional<TPick> pick;
  VisitTiers(input, [this, &pick](int32_t tier, const TAnswerList& candidates) {
    if (CandidateObserver_) CandidateObserver_(candidates);
    pick = TPick{candidates.Choose(), tier, candidates.Count()};
    return false;  // the first tier with candidates answers
  });
  return pick;
}

TEntryDescription TLumoData::Describe(int32_t index) const {
  const TLumoEntry& entry = Entries_.at(static_cast<size_t>(index));
  TEntryDescription description;
  description.Kind = Kind();
  description.FileIndex = FileOf(index);
  description.File = Files_[static_cast<size_t>(description.FileIndex)];
  description.Line = entry.Line;
  // A marker closes the tier it stands in: the tiers started at or before it.
  description.Tier = static_cast<int32_t>(
      std::upper_bound(TierStarts_.begin(), TierStarts_.end(), index) - TierStarts_.begin());
  description.Marker = entry.Marker;
  description.Answer = Answers_.View(entry.Answer);
  DescribeMatching(index, description);
  return description;
}

std::string TLumoData::Take(const TPick& pick) {
  TLumoEntry& entry = Entries_.at(static_cast<size_t>(pick.Entry));
  if (UseOnce_ && !entry.Used) {
    entry.Used = true;
    --Available_;
    UsedEntries_.insert(std::upper_bound(UsedEntries_.begin(), UsedEntries_.end(), pick.Entry),
                        pick.Entry);
  }
  return std::string(Answers_.View(entry.Answer));
}

void TLumoData::AddFoundRuns(std::span<const std::span<const int32_t>> runs, int32_t begin,
                             int32_t end, TAnswerList& candidates) const {
  std::vector<std::span<const int32_t>>& inside = InTier_;
  inside.clear();
  size_t total = 0;
  for (const std::span<const int32_t> run : runs) {
    if (run.empty()) continue;
    // Most runs lie in the tier whole (a data object of one tier).
    const bool whole = run.front() >= begin && run.back() < end;
    const auto first = whole ? run.begin() : std::lower_bound(run.begin(), run.end(), begin);
    const auto last = whole ? run.end() : std::lower_bound(first, run.end(), end);
    if (first == last) continue;
    inside.emplace_back(first, last);
    candidates.AddRun(inside.back());
    total += inside.back().size();
  }
  const auto used_first = std::lower_bound(UsedEntries_.begin(), UsedEntries_.end(), begin);
  const auto used_last = std::lower_bound(used_first, UsedEntries_.end(), end);
  const auto used = static_cast<size_t>(used_last - used_first);
  if (used == 0 || inside.empty()) return;
  // Exclusions go in ascending order: either each used-up entry of the
  // tier looked up in the runs, or the runs read for used-up entries,
  // whichever reads less.
  if (used * inside.size() < total) {
    for (auto u = used_first; u != used_last; ++u) {
      for (const std::span<const int32_t> run : inside) {
        if (std::binary_search(run.begin(), run.end(), *u)) {
          candidates.Exclude(*u);
          break;
        }
      }
    }
    return;
  }
  std::vector<int32_t>& excluded = UsedInTier_;
  excluded.clear();
  for (const std::span<const int32_t> run : inside) {
    // A run whose entries span no used-up one is passed over unread.
    const auto u = std::lower_bound(used_first, used_last, run.front());
    if (u == used_last || *u > run.back()) continue;
    for (int32_t e : run) {
      if (!Usable(e)) excluded.push_back(e);
    }
  }
  std::sort(excluded.begin(), excluded.end());
  for (int32_t e : excluded) candidates.Exclude(e);
}

void TLumoData::AddUsableInterval(int32_t begin, int32_t end, TAnswerList& candidates) const {
  candidates.AddInterval(begin, end);
  auto used = std::lower_bound(UsedEntries_.begin(), UsedEntries_.end(), begin);
  for (; used != UsedEntries_.end() && *used < end; ++used) candidates.Exclude(*used);
}

std::string TLumoData::Search(std::string_view input) {
  const std::optional<TPick> pick = Pick(input);
  return pick ? Take(*pick) : std::string();
}

// ---------------------------------------------------------------------------
// Notes for the personality author
// ---------------------------------------------------------------------------

void TLumoData::NoteHiddenLines(std::string_view file_name, int line_number,
                                const TTextLines& lines, size_t from) {
  size_t hidden = 0;
  for (size_t i = from; i < lines.size(); ++i) {
    if (!lines[i].empty()) ++hidden;
  }
  if (hidden == 0) return;
  Notes_->push_back({std::string(file_name), line_number,
                     std::string(kEndOfData) + " hides the " + std::to_string(hidden) +
                         (hidden == 1 ? " line" : " lines") + " after it",
                     "hidden-entry"});
}

void TLumoData::NoteEntry(int32_t index, std::string message, std::string_view code) {
  if (!NotesOn() || index < 0 || index >= EntryCount()) return;
  const TLumoEntry& entry = Entries_[static_cast<size_t>(index)];
  Notes_->push_back(
      {Files_[static_cast<size_t>(FileOf(index))], entry.Line, std::move(message), code});
}

void TLumoData::NoteIdleMarkers() {
  const std::string prefix = std::string(kPriorMarker) + " divides nothing: ";
  constexpr std::string_view kIdleMarker = "idle-tier-marker";
  bool entry_before = false;
  for (size_t i = 0; i < Entries_.size(); ++i) {
    if (!Entries_[i].Marker) {
      entry_before = true;
      continue;
    }
    const auto index = static_cast<int32_t>(i);
    if (!entry_before) {
      NoteEntry(index, prefix + "no entries before it", kIdleMarker);
    } else if (Entries_[i - 1].Marker) {
      NoteEntry(index, prefix + "right after another " + std::string(kPriorMarker), kIdleMarker);
    } else if (i + 1 == Entries_.size()) {
      NoteEntry(index, prefix + "no entries after it", kIdleMarker);
    }
  }
}

}  // namespace parlevo
