// Knowledge data: the four kinds of entry lists a character answers from
// (0: tag conditions, A: context + input patterns, B: input patterns, C: free
// talk), with tiers ("{PRIOR}"), the end marker ("{ENDOFDATA}"), once-only
// entries and a random choice among the candidates of the first tier that
// has any.
//
// Every object keeps a flat entry table (answer, tier, origin, used bit); a
// kind decides only which entries of a tier match (MatchTier) and describes
// what an entry matches with (Describe). One tier loop (VisitTiers) serves
// both a turn and an explanation. A turn first picks an entry (Pick) and
// then takes its answer (Take), which uses up a once-only entry; between the
// two, the pick says where the answer is from.
//
// Thread-safety: an object is loaded on one thread and then searched by one
// thread at a time; it has no locks of its own. Pick draws from the
// process-wide random generator.
#ifndef PARLEVO_DATA_LUMO_DATA_H_
#define PARLEVO_DATA_LUMO_DATA_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "data/answer_list.h"
#include "data/answer_store.h"
#include "data/load_note.h"

namespace parlevo {

class TbmRExp;
class TTextLines;
class TbmREMatchBudget;
class TEntryPatternSet;
namespace lumo {
class TMatcherCache;
}
struct TPersonalityText;

// What the owner's evaluator makes of a condition: the expanded text, and
// whether evaluating the same text again gives the same as long as nothing
// else runs in between (none of its tags changed the character or drew at
// random).
struct TEvaluation {
  std::u16string Value;
  bool Repeatable = false;
};

// The owner's condition evaluator (the character's tag expansion) at the
// instant `now` (local time, days since 1899-12-30).
using TEvaluateFunc = std::function<TEvaluation(std::u16string_view text, double now)>;

inline constexpr std::string_view kPriorMarker = "{PRIOR}";
inline constexpr std::string_view kEndOfData = "{ENDOFDATA}";

// The kinds of knowledge data, by the letter authors know them by.
enum class TLumoKind : char { k0 = '0', kA = 'A', kB = 'B', kC = 'C' };

// One line of a data file that became an entry or a tier marker. A
// personality has an entry per line: kept narrow (16 bytes); its file and
// tier are known from where the files and the tiers start
// (TLumoData::Describe).
struct TLumoEntry {
  TStoredText Answer;  // as written (a kind C marker: "{PRIOR}"): TLumoData::AnswerOf
  int32_t Line = 0;    // 1-based line in that file (key line of an
                       // enciphered file: 1)
  bool Used = false;   // a once-only entry that has answered
  bool Marker = false;
};

// The outcome of a search before its answer is taken: the chosen entry, its
// tier (1-based) and how many candidates that tier had.
struct TPick {
  int32_t Entry = -1;
  int32_t Tier = 0;
  int32_t Candidates = 0;
};

// What an entry is and what it matches with, as the object holds it (views
// into the object, valid until it loads more files or is destroyed).
struct TEntryDescription {
  TLumoKind Kind = TLumoKind::k0;
  std::string_view File;  // native path as given to LoadFromFile
  int32_t FileIndex = 0;  // index into TLumoData::Files()
  int32_t Line = 0;       // 1-based line in that file
  int32_t Tier = 1;       // 1-based; a marker carries the tier it closes
  bool Marker = false;
  // Kind 0: the condition as evaluated (folded); nothing for other kinds.
  std::optional<std::string_view> Condition;
  // Kind A: the context pattern; kinds A and B: the pattern the input is
  // searched with (folded, as the matchers hold them); nullptr where the
  // kind has none. Broken: one of them does not compile, so the entry never
  // matches.
  TbmRExp* ContextPattern = nullptr;
  TbmRExp* InputPattern = nullptr;
  bool Broken = false;
  std::string_view Answer;  // as stored
};

// The lines of a data file as plain text (deciphered when enciphered) and
// the file line of the first of them (2 behind a key line, else 1). Throws
// platform::EFileError when the file cannot be read.
std::vector<std::string> ReadDataLines(std::string_view file_name, int& first_line);

class TLumoData {
 public:
  TLumoData(bool use_once, TEvaluateFunc on_evaluate);
  virtual ~TLumoData();
  TLumoData(const TLumoData&) = delete;
  TLumoData& operator=(const TLumoData&) = delete;

  virtual TLumoKind Kind() const = 0;
  // Compiles the patterns not compiled yet (kinds A and B; others: nothing).
  virtual void Prepare() = 0;
  // After the last file: builds what searching needs (kinds A and B: their
  // pattern sets), so the first search does not. A search after more files
  // were loaded builds it again itself.
  virtual void Ready() {}
  // The memory budget the patterns of the files loaded from now on search
  // under, shared by all the objects of one character (kinds A and B; the
  // others search no patterns). Without one each pattern builds its whole
  // automaton when first searched.
  virtual void SetMatchBudget(std::shared_ptr<TbmREMatchBudget> /*budget*/) {}
  // Appends the entries of one data file (native path), plain or enciphered. A
  // missing file changes nothing; an unreadable one throws
  // platform::EFileError, and so does one of more than `max_lines` lines
  // (what is left of the character's entries budget), naming that budget.
  void LoadFromFile(std::string_view file_name, size_t max_lines = SIZE_MAX);
  // The lines of the data files read so far, each counted as the entries
  // budget counts them.
  size_t LinesRead() const { return LinesRead_; }

  // The tier loop: asks the kind, tier by tier in order, which unused
  // entries match `input` and calls `visit(tier, candidates)` (a const
  // TAnswerList&) for every tier that has any, until it returns false. Pick
  // stops at the first such tier; an explanation looks at them all.
  template <typename Visit>
  void VisitTiers(std::string_view input, Visit&& visit);
  // Chooses at random among the matching candidates of the first tier that
  // has any; nothing when no tier has one. `input` is normalised ANSI text;
  // kinds 0 and C ignore it. Uses nothing up (kind 0 conditions still run
  // their tags).
  std::optional<TPick> Pick(std::string_view input);
  // Called by Pick with the candidates of the tier it draws from, before it
  // draws (coverage counts what matched); an empty function: nothing.
  void SetCandidateObserver(std::function<void(const TAnswerList&)> observer) {
    CandidateObserver_ = std::move(observer);
  }
  // The answer of a pick, exactly as stored; a once-only object uses the
  // entry up.
  std::string Take(const TPick& pick);
  // Pick and Take: the answer, or "" when there is none.
  std::string Search(std::string_view input);

  // Appends to `candidates`, in order, the unused entries among
  // [begin, end) (one tier, no markers inside) that match `input`. This is
  // the one place a kind decides what matches.
  virtual void MatchTier(std::string_view input, int32_t begin, int32_t end,
                         TAnswerList& candidates) = 0;
  // Entry `index` (0 <= index < EntryCount(), else std::out_of_range).
  TEntryDescription Describe(int32_t index) const;
  // The answer of entry `index`, exactly as stored (as Describe gives it).
  std::string_view AnswerOf(int32_t index) const {
    return Answers_.View(Entries_.at(static_cast<size_t>(index)).Answer);
  }
  // The character's own previous answer as stored (not normalised), which
  // kind A searches its context patterns in; set by the owner after every
  // turn. Other kinds keep nothing and give "".
  virtual void SetContext(std::string_view /*previous_answer*/) {}
  virtual std::string_view Context() const { return {}; }

  // Tiers held (markers + 1, or 0 without entries) and tier t's entries as
  // [begin, end) indexes (t 1-based).
  int32_t TierCount() const { return static_cast<int32_t>(TierStarts_.size()); }
  std::pair<int32_t, int32_t> TierBounds(int32_t tier) const;

  // Entries that can still be chosen: all but markers and used-up entries.
  int32_t Available() const { return Available_; }
  bool UseOnce() const { return UseOnce_; }
  // Entries held, markers included, and the markers among them.
  int32_t EntryCount() const { return static_cast<int32_t>(Entries_.size()); }
  int32_t MarkerCount() const { return MarkerCount_; }
  const std::vector<TLumoEntry>& Items() const { return Entries_; }
  // The data files read, as given to LoadFromFile, in load order.
  const std::vector<std::string>& Files() const { return Files_; }

  // While a sink is set, LoadFromFile appends a note for every line it
  // passes over (too few fields, patterns that do not compile, lines behind
  // an end marker). Missing files are the caller's to report. nullptr (the
  // default) turns notes off.
  void SetNoteSink(std::vector<TLoadNote>* sink) { Notes_ = sink; }
  // After the last file: notes the markers that divide nothing (first entry,
  // right after another marker, or last entry).
  void NoteIdleMarkers();

 protected:
  // What one line of a data file became.
  enum class TLineResult { kShort, kEndOfData, kEntry, kMarker };

  // Parses one (plain) line. For an entry or a marker it fills in
  // `entry.Answer` (through KeepAnswer; the table has already grown by
  // `entry`, origin set) and keeps what the kind matches with; otherwise it
  // keeps nothing.
  // `fields_found` receives the field count of a short line.
  virtual TLineResult AddLine(std::string_view line, size_t& fields_found, TLumoEntry& entry) = 0;
  virtual void ReserveEntries(size_t count) = 0;
  // Minimum field count of a line (0: lines are not split).
  virtual size_t MinimumFields() const = 0;
  // Fills in what entry `index` matches with (Describe has done the rest).
  virtual void DescribeMatching(int32_t index, TEntryDescription& description) const = 0;

  // Keeps an answer for the object's life: what AddLine puts in
  // `entry.Answer`.
  TStoredText KeepAnswer(std::string_view answer) { return Answers_.Keep(answer); }
  // Notes `message` (UTF-8) against the origin of entry `index`.
  void NoteEntry(int32_t index, std::string message, std::string_view code);
  bool NotesOn() const { return Notes_ != nullptr; }
  bool Usable(int32_t index) const { return !Entries_[static_cast<size_t>(index)].Used; }
  // Adds the entries of `runs` (ascending runs of entry indexes, disjoint)
  // that lie in [begin, end) to `candidates` as runs, the used-up ones
  // excluded: no entry is listed.
  void AddFoundRuns(std::span<const std::span<const int32_t>> runs, int32_t begin, int32_t end,
                    TAnswerList& candidates) const;
  // The entries begin .. end-1 that are not used up, as an interval.
  void AddUsableInterval(int32_t begin, int32_t end, TAnswerList& candidates) const;
  const TEvaluateFunc& OnEvaluate() const { return OnEvaluate_; }

 private:
  // Notes the end marker at `line_number` when lines[from..] hold any text.
  void NoteHiddenLines(std::string_view file_name, int line_number, const TTextLines& lines,
                       size_t from);
  void AddLines(const TTextLines& lines, int first_line, int32_t file);

  std::vector<TLumoEntry> Entries_;
  TAnswerStore Answers_;  // the entries' answers
  std::vector<std::string> Files_;
  // The index into Files_ of entry `index`'s file.
  int32_t FileOf(int32_t index) const;

  std::vector<int32_t> FileStarts_;   // first entry of each file (entries follow in file order)
  std::vector<int32_t> TierStarts_;   // first entry of each tier
  std::vector<int32_t> UsedEntries_;  // the used-up entries, ascending
  int32_t Available_ = 0;
  int32_t MarkerCount_ = 0;
  size_t LinesRead_ = 0;
  TEvaluateFunc OnEvaluate_;
  bool UseOnce_;
  std::vector<TLoadNote>* Notes_ = nullptr;
  std::function<void(const TAnswerList&)> CandidateObserver_;
  TAnswerList Candidates_{0};     // VisitTiers' list, kept from search to search
  bool CandidatesInUse_ = false;  // a VisitTiers is using Candidates_
  // AddFoundRuns' working space: the runs cut to the tier, the used-up
  // entries among them.
  mutable std::vector<std::span<const int32_t>> InTier_;
  mutable std::vector<int32_t> UsedInTier_;
};

// Kind 0: an entry is a candidate when its condition evaluates to "TRUE".
// Lines: condition, answer.
class TLumoData0 : public TLumoData {
 public:
  TLumoData0(bool use_once, TEvaluateFunc on_evaluate);
  ~TLumoData0() override;
  TLumoKind Kind() const override { return TLumoKind::k0; }
  void Prepare() override {}
  void MatchTier(std::string_view input, int32_t begin, int32_t end,
                 TAnswerList& candidates) override;
  // Tests and benchmarks: evaluate every condition in full, each at its own
  // reading of the clock, as the reference the shortcuts must agree with.
  void SetReferenceEvaluation(bool on) { Reference = on; }

 protected:
  TLineResult AddLine(std::string_view line, size_t& fields_found, TLumoEntry& entry) override;
  void ReserveEntries(size_t count) override;
  size_t MinimumFields() const override { return 2; }
  void DescribeMatching(int32_t index, TEntryDescription& description) const override;

 private:
  // A distinct condition text, as the evaluator takes it.
  struct TCondition {
    std::string Text;  // folded, as Describe shows it
    std::u16string Wide;
    bool Constant = false;  // no tags: the text is its own value
    bool ConstantHolds = false;
  };
  // Whether distinct condition `id` holds at `now`, from the tier's memo
  // when it was evaluated already and nothing with an effect ran since.
  bool Holds(int32_t id, double now);
  // Forgets every remembered result.
  void ForgetResults();

  std::vector<int32_t> ConditionOf;    // per entry: index into Conditions
  std::vector<TCondition> Conditions;  // distinct texts
  std::unordered_map<std::string, int32_t> ConditionIds;
  // Results remembered within one tier: valid where ResultStamp is Stamp.
  std::vector<uint32_t> ResultStamp;
  std::vector<uint8_t> Result;
  uint32_t Stamp = 0;
  bool Reference = false;
};

// Kind A: a candidate when its context pattern is found in the context (the
// character's previous answer) and its input pattern in the input.
// Lines: context pattern, input pattern, answer.
class TLumoDataA : public TLumoData {
 public:
  TLumoDataA(bool use_once, TEvaluateFunc on_evaluate);
  ~TLumoDataA() override;
  TLumoKind Kind() const override { return TLumoKind::kA; }
  void Prepare() override;
  void Ready() override;
  void SetMatchBudget(std::shared_ptr<TbmREMatchBudget> budget) override;
  void MatchTier(std::string_view input, int32_t begin, int32_t end,
                 TAnswerList& candidates) override;

  // Tests and benchmarks: ask every pattern in turn instead of the sets.
  void SetReferenceSearch(bool on);

  // "" until the first turn, and after a turn that found no answer.
  void SetContext(std::string_view previous_answer) override { Context_ = previous_answer; }
  std::string_view Context() const override { return Context_; }

 protected:
  TLineResult AddLine(std::string_view line, size_t& fields_found, TLumoEntry& entry) override;
  void ReserveEntries(size_t count) override;
  size_t MinimumFields() const override { return 3; }
  void DescribeMatching(int32_t index, TEntryDescription& description) const override;

 private:
  struct TPatterns {
    // Numbers of matchers in Matchers, shared with the entries of the same
    // pattern (an entry per line: kept narrow).
    uint32_t Context = 0;
    uint32_t Input : 31 = 0;
    uint32_t Broken : 1 = 0;  // one does not compile: never matches
  };
  void NoteErrors(int32_t index, const std::string& context_error, const std::string& input_error);

  std::string Context_;
  std::vector<TPatterns> Patterns;  // per entry
  // The patterns as written (context, input) of entries loaded while notes
  // are on; nothing otherwise.
  std::vector<std::pair<std::string, std::string>> Written;
  size_t Prepared = 0;  // entries before this index are checked
  // Owns the matchers; declared before the sets, which point at them.
  std::unique_ptr<lumo::TMatcherCache> Matchers;
  // The context and the input patterns of the prepared entries.
  std::unique_ptr<TEntryPatternSet> ContextSet, InputSet;
};

// Kind B: a candidate when its pattern is found in the input.
// Lines: pattern, answer.
class TLumoDataB : public TLumoData {
 public:
  TLumoDataB(bool use_once, TEvaluateFunc on_evaluate);
  ~TLumoDataB() override;
  TLumoKind Kind() const override { return TLumoKind::kB; }
  void Prepare() override;
  void Ready() override;
  void SetMatchBudget(std::shared_ptr<TbmREMatchBudget> budget) override;
  void MatchTier(std::string_view input, int32_t begin, int32_t end,
                 TAnswerList& candidates) override;
  // Tests and benchmarks: ask every pattern in turn instead of the set.
  void SetReferenceSearch(bool on);

 protected:
  TLineResult AddLine(std::string_view line, size_t& fields_found, TLumoEntry& entry) override;
  void ReserveEntries(size_t count) override;
  size_t MinimumFields() const override { return 2; }
  void DescribeMatching(int32_t index, TEntryDescription& description) const override;

 private:
  struct TPattern {
    // The number of its matcher in Matchers, shared with the entries of the
    // same pattern (an entry per line: kept narrow).
    uint32_t Matcher : 31 = 0;
    uint32_t Broken : 1 = 0;  // does not compile: never matches
  };
  // The pattern as written of entry `index`, when it was loaded while notes
  // were on; "" otherwise.
  std::string_view WrittenOf(size_t index) const;

  std::vector<TPattern> Patterns;  // per entry
  // The patterns as written of entries loaded while notes are on.
  std::vector<std::string> Written;
  size_t Prepared = 0;  // entries before this index are checked
  // Owns the matchers; declared before the set, which points at them.
  std::unique_ptr<lumo::TMatcherCache> Matchers;
  std::unique_ptr<TEntryPatternSet> Set;  // the patterns of the prepared entries
};

// Kind C: free talk; every entry is a candidate. Each whole line, as
// written, is an answer.
class TLumoDataC : public TLumoData {
 public:
  TLumoDataC(bool use_once, TEvaluateFunc on_evaluate);
  ~TLumoDataC() override;
  TLumoKind Kind() const override { return TLumoKind::kC; }
  void Prepare() override {}
  void MatchTier(std::string_view input, int32_t begin, int32_t end,
                 TAnswerList& candidates) override;

 protected:
  TLineResult AddLine(std::string_view line, size_t& fields_found, TLumoEntry& entry) override;
  void ReserveEntries(size_t /*count*/) override {}
  size_t MinimumFields() const override { return 0; }
  // Every entry matches anything: nothing to add.
  void DescribeMatching(int32_t /*index*/, TEntryDescription& /*description*/) const override {}
};

template <typename Visit>
void TLumoData::VisitTiers(std::string_view input, Visit&& visit) {
  // The object's own list serves search after search, allocating nothing
  // once grown; a visit that searches this object again gets a fresh one.
  std::optional<TAnswerList> fresh;
  TAnswerList& candidates = CandidatesInUse_ ? fresh.emplace(EntryCount()) : Candidates_;
  struct TInUse {
    bool& Flag;
    bool Was;
    ~TInUse() { Flag = Was; }
  } in_use{CandidatesInUse_, CandidatesInUse_};
  CandidatesInUse_ = true;
  for (int32_t tier = 1; tier <= TierCount(); ++tier) {
    const auto [begin, end] = TierBounds(tier);
    candidates.Clear();
    MatchTier(input, begin, end, candidates);
    if (candidates.Count() > 0 && !visit(tier, static_cast<const TAnswerList&>(candidates))) return;
  }
}

}  // namespace parlevo

#endif  // PARLEVO_DATA_LUMO_DATA_H_
