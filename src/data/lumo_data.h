// Knowledge data: the four kinds of entry lists a character answers from
// (0: tag conditions, A: context + input patterns, B: input patterns, C: free
// talk), with tiers ("{PRIOR}"), the end marker ("{ENDOFDATA}"), once-only
// entries and a random choice among the candidates of the first tier that
// has any.
//
// Thread-safety: an object is loaded on one thread and then searched by one
// thread at a time; it has no locks of its own. Search draws from the
// process-wide random generator.
#ifndef PARLEVO_DATA_LUMO_DATA_H_
#define PARLEVO_DATA_LUMO_DATA_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace parlevo {

class TbmRExp;

// The owner's condition evaluator (the character's tag expansion).
using TEvaluateFunc = std::function<std::u16string(std::u16string_view)>;

inline constexpr std::string_view kPriorMarker = "{PRIOR}";
inline constexpr std::string_view kEndOfData = "{ENDOFDATA}";

// Something loading passed over in silence, for the personality author.
struct TLoadNote {
  std::string File;  // ANSI path as given to LoadFromFile
  int Line = 0;      // 1-based line in the file (an enciphered file's key
                     // line is line 1)
  std::string Message;
};

// The candidates of one search: entry indexes in the order they were added.
class TAnswerList {
 public:
  explicit TAnswerList(int32_t grow_by);
  void Add(int32_t index) { Items.push_back(index); }
  int32_t Count() const { return static_cast<int32_t>(Items.size()); }
  int32_t Item(int32_t i) const { return Items[static_cast<size_t>(i)]; }
  // Re-seeds the process-wide generator from the clock, then returns the
  // element at RandomInt(Count); 0 on an empty list.
  int32_t Choose() const;

 private:
  std::vector<int32_t> Items;
};

// Entry records. `Marker` is true for a "{PRIOR}" tier marker; `Broken` for
// an entry with a pattern that does not compile (it never matches).
struct TDatum0 {
  std::string Key;  // normalised condition
  std::string Answer;
  bool Used = false;
  bool Marker = false;
};

struct TDatumA {
  std::unique_ptr<TbmRExp> ContextPattern;
  std::unique_ptr<TbmRExp> InputPattern;
  std::string Answer;
  bool Used = false;
  bool Marker = false;
  bool Broken = false;
};

struct TDatumB {
  std::unique_ptr<TbmRExp> Pattern;
  std::string Answer;
  bool Used = false;
  bool Marker = false;
  bool Broken = false;
};

struct TDatumC {
  std::string Answer;
  bool Used = false;
  bool Marker = false;
};

class TLumoData {
 public:
  TLumoData(bool use_once, TEvaluateFunc on_evaluate);
  virtual ~TLumoData();
  TLumoData(const TLumoData&) = delete;
  TLumoData& operator=(const TLumoData&) = delete;

  // Compiles the patterns not compiled yet (kinds A and B; others: nothing).
  virtual void Prepare() = 0;
  // Appends the entries of one data file (ANSI path), plain or enciphered. A
  // missing file changes nothing; an unreadable one throws
  // platform::EFileError.
  virtual void LoadFromFile(std::string_view file_name);
  // The answer of a randomly chosen candidate of the first tier that has
  // any, exactly as stored; "" when there is none. `input` is normalised
  // ANSI text; kinds 0 and C ignore it.
  virtual std::string Search(std::string_view input) = 0;

  // Entries that can still be chosen: all but markers and used-up entries.
  int32_t Available() const { return Available_; }
  bool UseOnce() const { return UseOnce_; }
  // Entries held, markers included, and the markers among them.
  virtual int32_t EntryCount() const = 0;
  int32_t MarkerCount() const { return MarkerCount_; }

  // While a sink is set, LoadFromFile appends a note for every line it
  // passes over (too few fields, patterns that do not compile, lines behind
  // an end marker). Missing files are the caller's to report. nullptr (the
  // default) turns notes off.
  void SetNoteSink(std::vector<TLoadNote>* sink) { Notes_ = sink; }
  // After the last file: notes the markers that divide nothing (first entry,
  // right after another marker, or last entry). Only entries loaded while the
  // sink was set are known by file and line.
  void NoteIdleMarkers();

 protected:
  // What one line of a data file became.
  enum class TLineResult { kShort, kEndOfData, kEntry, kMarker };

  // Parses one (plain) line and appends its entry when it is one.
  // `fields_found` receives the field count of a short line.
  virtual TLineResult AddLine(const std::string& line, size_t& fields_found) = 0;
  virtual void ReserveEntries(size_t count) = 0;
  // Minimum field count of a line (0: lines are not split).
  virtual size_t MinimumFields() const = 0;

  // Notes `message` against the origin of entry `index`, if known.
  void NoteEntry(int32_t index, const std::string& message);
  bool NotesOn() const { return Notes_ != nullptr; }
  // The answer of the chosen entry; a once-only object uses it up.
  template <typename Datum>
  std::string TakeAnswer(Datum& entry) {
    if (UseOnce_) {
      entry.Used = true;
      --Available_;
    }
    return entry.Answer;
  }
  const TEvaluateFunc& OnEvaluate() const { return OnEvaluate_; }

 private:
  struct TOrigin {
    std::string File;
    int Line = 0;
  };

  // Notes the end marker at `line_number` when lines[from..] hold any text.
  void NoteHiddenLines(std::string_view file_name, int line_number,
                       const std::vector<std::string>& lines, size_t from);

  int32_t Available_ = 0;
  int32_t MarkerCount_ = 0;
  TEvaluateFunc OnEvaluate_;
  bool UseOnce_;
  std::vector<TLoadNote>* Notes_ = nullptr;
  std::vector<TOrigin> Origins_;  // per entry; filled only while notes are on
  std::vector<bool> IsMarker_;    // per entry
};

// Kind 0: an entry is a candidate when its condition evaluates to "TRUE".
// Lines: condition, answer.
class TLumoData0 : public TLumoData {
 public:
  TLumoData0(bool use_once, TEvaluateFunc on_evaluate);
  ~TLumoData0() override;
  void Prepare() override {}
  std::string Search(std::string_view input) override;
  int32_t EntryCount() const override { return static_cast<int32_t>(Entries.size()); }
  const std::vector<TDatum0>& Items() const { return Entries; }

 protected:
  TLineResult AddLine(const std::string& line, size_t& fields_found) override;
  void ReserveEntries(size_t count) override;
  size_t MinimumFields() const override { return 2; }

 private:
  std::vector<TDatum0> Entries;
};

// Kind A: a candidate when its context pattern is found in `Context` and its
// input pattern in the input. Lines: context pattern, input pattern, answer.
class TLumoDataA : public TLumoData {
 public:
  TLumoDataA(bool use_once, TEvaluateFunc on_evaluate);
  ~TLumoDataA() override;
  void Prepare() override;
  std::string Search(std::string_view input) override;
  int32_t EntryCount() const override { return static_cast<int32_t>(Entries.size()); }
  const std::vector<TDatumA>& Items() const { return Entries; }

  // The character's own previous answer as stored (not normalised); set by
  // the owner after every turn, "" when it found none.
  std::string Context;

 protected:
  TLineResult AddLine(const std::string& line, size_t& fields_found) override;
  void ReserveEntries(size_t count) override;
  size_t MinimumFields() const override { return 3; }

 private:
  void NoteErrors(int32_t index, const std::string& context_error, const std::string& input_error);

  std::vector<TDatumA> Entries;
  size_t Prepared = 0;  // entries before this index are compiled
};

// Kind B: a candidate when its pattern is found in the input.
// Lines: pattern, answer.
class TLumoDataB : public TLumoData {
 public:
  TLumoDataB(bool use_once, TEvaluateFunc on_evaluate);
  ~TLumoDataB() override;
  void Prepare() override;
  std::string Search(std::string_view input) override;
  int32_t EntryCount() const override { return static_cast<int32_t>(Entries.size()); }
  const std::vector<TDatumB>& Items() const { return Entries; }

 protected:
  TLineResult AddLine(const std::string& line, size_t& fields_found) override;
  void ReserveEntries(size_t count) override;
  size_t MinimumFields() const override { return 2; }

 private:
  std::vector<TDatumB> Entries;
  size_t Prepared = 0;  // entries before this index are compiled
};

// Kind C: free talk; every entry is a candidate. Each whole line, as
// written, is an answer.
class TLumoDataC : public TLumoData {
 public:
  TLumoDataC(bool use_once, TEvaluateFunc on_evaluate);
  ~TLumoDataC() override;
  void Prepare() override {}
  std::string Search(std::string_view input) override;
  int32_t EntryCount() const override { return static_cast<int32_t>(Entries.size()); }
  const std::vector<TDatumC>& Items() const { return Entries; }

 protected:
  TLineResult AddLine(const std::string& line, size_t& fields_found) override;
  void ReserveEntries(size_t count) override;
  size_t MinimumFields() const override { return 0; }

 private:
  std::vector<TDatumC> Entries;
};

}  // namespace parlevo

#endif  // PARLEVO_DATA_LUMO_DATA_H_
