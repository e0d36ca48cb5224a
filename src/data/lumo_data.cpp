// The loading scheme shared by the four kinds of knowledge data: files read
// whole (plain or enciphered), one entry per line, the end marker, and the
// notes for the personality author.
#include "data/lumo_data.h"

#include <algorithm>

#include "data/crypt.h"
#include "data/file_budget.h"
#include "platform/textfile.h"

namespace parlevo {

TLumoData::TLumoData(bool use_once, TEvaluateFunc on_evaluate)
    : OnEvaluate_(std::move(on_evaluate)), UseOnce_(use_once) {}

TLumoData::~TLumoData() = default;

void TLumoData::LoadFromFile(std::string_view file_name) {
  if (!platform::FileExists(file_name)) return;
  std::vector<std::string> lines = platform::ReadTextLines(file_name, kMaxPersonalityFileBytes);
  int first_line = 1;  // file line of lines[0], for the notes
  if (IsEncrypted(lines)) {
    TCrypt crypt(cmDecrypt);
    crypt.SetKey(ReadFileKey(lines));
    crypt.CryptLines(lines);
    first_line = 2;
  }
  const size_t first_note = NotesOn() ? Notes_->size() : 0;
  ReserveEntries(static_cast<size_t>(EntryCount()) + lines.size());
  if (NotesOn()) Origins_.resize(static_cast<size_t>(EntryCount()));

  for (size_t i = 0; i < lines.size(); ++i) {
    const int line_number = first_line + static_cast<int>(i);
    size_t fields = 0;
    // The origin goes first, so AddLine can already note against its entry.
    if (NotesOn()) Origins_.push_back({std::string(file_name), line_number});
    const TLineResult result = AddLine(lines[i], fields);
    if (NotesOn() && (result == TLineResult::kShort || result == TLineResult::kEndOfData)) {
      Origins_.pop_back();
    }
    if (result == TLineResult::kShort) {
      if (NotesOn()) {
        Notes_->push_back({std::string(file_name), line_number,
                           "too few fields (" + std::to_string(fields) + " of " +
                               std::to_string(MinimumFields()) + "), line ignored"});
      }
      continue;
    }
    if (result == TLineResult::kEndOfData) {
      if (NotesOn()) NoteHiddenLines(file_name, line_number, lines, i + 1);
      break;
    }
    const bool marker = result == TLineResult::kMarker;
    IsMarker_.push_back(marker);
    if (marker) {
      ++MarkerCount_;
    } else {
      ++Available_;
    }
  }
  Prepare();
  // Compile notes come from Prepare, after the others: put the file's notes
  // in line order.
  if (NotesOn()) {
    std::stable_sort(Notes_->begin() + static_cast<std::ptrdiff_t>(first_note), Notes_->end(),
                     [](const TLoadNote& a, const TLoadNote& b) { return a.Line < b.Line; });
  }
}

void TLumoData::NoteHiddenLines(std::string_view file_name, int line_number,
                                const std::vector<std::string>& lines, size_t from) {
  size_t hidden = 0;
  for (size_t i = from; i < lines.size(); ++i) {
    if (!lines[i].empty()) ++hidden;
  }
  if (hidden == 0) return;
  Notes_->push_back({std::string(file_name), line_number,
                     std::string(kEndOfData) + " hides the " + std::to_string(hidden) +
                         (hidden == 1 ? " line" : " lines") + " after it"});
}

void TLumoData::NoteEntry(int32_t index, const std::string& message) {
  if (!NotesOn() || index < 0 || static_cast<size_t>(index) >= Origins_.size()) return;
  const TOrigin& origin = Origins_[static_cast<size_t>(index)];
  if (origin.Line == 0) return;  // loaded while notes were off
  Notes_->push_back({origin.File, origin.Line, message});
}

void TLumoData::NoteIdleMarkers() {
  const std::string prefix = std::string(kPriorMarker) + " divides nothing: ";
  bool entry_before = false;
  for (size_t i = 0; i < IsMarker_.size(); ++i) {
    if (!IsMarker_[i]) {
      entry_before = true;
      continue;
    }
    const auto index = static_cast<int32_t>(i);
    if (!entry_before) {
      NoteEntry(index, prefix + "no entries before it");
    } else if (IsMarker_[i - 1]) {
      NoteEntry(index, prefix + "right after another " + std::string(kPriorMarker));
    } else if (i + 1 == IsMarker_.size()) {
      NoteEntry(index, prefix + "no entries after it");
    }
  }
}

}  // namespace parlevo
