// A character: its base file, eight knowledge data objects, the profile of
// its partner, three kinds of memory slots and its conversation bookkeeping.
// Slots 50-99 survive between runs in the state file.
//
// Thread-safety: a character is built on one thread and then used by one
// thread at a time (the conversation's); it has no locks of its own.
#ifndef PARLEVO_ENGINE_CHARACTER_H_
#define PARLEVO_ENGINE_CHARACTER_H_

#include <array>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "data/character_file.h"
#include "data/lumo_data.h"
#include "engine/pattern_cache.h"

namespace parlevo {

class ELumoError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One of: "characterfile is not found", "characterfile is invalid",
// "character is not supported in this version", "character contains no data".
class ELumoInvalidCharacter : public ELumoError {
 public:
  using ELumoError::ELumoError;
};

// The profile of the partner the character talks to.
struct TUser {
  std::string FamilyName;
  std::string GivenName;
  std::string OtherName;
  std::string Nickname;
  bool Sex = false;
  double Birthday = 0;
};

// A set of the eight data objects, bit i for slot i (Data01 = bit 0 ... DataC2 = bit 7).
using TDataSlots = uint8_t;
inline constexpr TDataSlots OpeningSlots = 0x03;  // Data01, Data02
inline constexpr TDataSlots AllSlots = 0xFF;

// Whether a loaded character writes its state file (a first one at load, the
// kept slots at release) or only reads it, for tools that must leave no trace.
enum class TStateUse { kReadWrite, kReadOnly };

// Where the answer of the last Talk came from: its data slot (0 = Data01 ...
// 7 = DataC2; -1 when nothing answered) and the pick within that object.
struct TAnswerSource {
  int Slot = -1;
  TPick Pick;
};

class TCharacter {
 public:
  // A character with no files: nothing is loaded and nothing is saved.
  TCharacter();
  // Loads the character from its base file: a native path, reaching the file
  // system as given (the names inside the base file are code page text).
  // Throws ELumoInvalidCharacter, or platform::EFileError for an unreadable
  // file or data folder. A first state file that cannot be written does not
  // stop it (FirstStateError says why). With TStateUse::kReadOnly the state
  // file is read when there is one and never written (nor kept aside).
  explicit TCharacter(std::string_view file_name, TStateUse state_use = TStateUse::kReadWrite);
  // Loads like the constructor above and refuses the same characters, but
  // reads and writes no state file (Name stays empty, so nothing is saved)
  // and appends to `notes` what loading passes over in silence: missing data
  // files and the data objects' own notes. For personality authors.
  TCharacter(std::string_view file_name, std::vector<TLoadNote>& notes);
  // Saves the state file when Name is not empty (and the state is writable). Never throws: a failed
  // save keeps the old file and is reported through SaveErrorHandler.
  ~TCharacter();
  TCharacter(const TCharacter&) = delete;
  TCharacter& operator=(const TCharacter&) = delete;

  // Answers `text` from the data objects in `slots`; the raw answer, tags not
  // expanded, or "" when nothing answered.
  std::u16string Talk(std::u16string_view text, TDataSlots slots);

  // `text` as the data objects are asked with it: "{NothingSaid}" for
  // silence, "{Repeated}" appended when it equals `previous` (ANSI), then
  // folded (NormalizeText) into ANSI.
  static std::string PreparedInput(std::u16string_view text, std::string_view previous);

  // Expands the tags of `text` (the tag language). Never throws. The work of
  // one call is bounded; engine/expand_tags.h gives the budgets.
  std::u16string ExpandTags(std::u16string_view text);
  // A kind 0 condition: ExpandTags at the instant `now` (one instant for all
  // the conditions of a tier), and whether evaluating the same text again,
  // with nothing run in between, gives the same text: none of its tags
  // changed the character or drew at random.
  TEvaluation EvaluateCondition(std::u16string_view text, double now);

  // True when `pattern` is found in `text`; a malformed pattern is false.
  bool PatternMatches(std::string_view pattern, std::string_view text) const;

  // Reads slots 50-99 from the state file, writing a first one when there is
  // none (when that fails, the slots stay initial and FirstStateError says
  // why); a file too short clears them, a bad number line leaves its slot 0.
  // A file that is not what SaveState writes (too short, not text, a line
  // that is not a number or truth value, a memo over the cap) is read as far
  // as it can be, then renamed to "NAME.lts.bad" (or .bad2, ...) and
  // reported through SaveErrorHandler, so the next save cannot destroy it.
  // Nothing happens for a character with no files.
  void LoadState();
  // Reads the data files named in the base file again, keeping memory,
  // counters and the partner. When they yield no entry, or one cannot be
  // read, the old data stays and the error is thrown.
  void ReloadData();
  // Writes slots 50-99 enciphered with Name, replacing the file atomically.
  // A line break in a memo is saved as "{BR}" (shown as a break again) and
  // any other control character as a blank, so every memo stays one line.
  // Throws platform::EFileError when the file cannot be written (old file kept).
  void SaveState();
  // Path of the state file (native): Folder + base file name with extension
  // ".lts".
  std::string StatePath() const;

  // The data object of slot i (0 = Data01 ... 7 = DataC2); throws
  // std::out_of_range for any other i.
  static constexpr int kSlotCount = 8;
  static constexpr int kFirstFreeTalk = 6;  // slots 6 and 7 are kind C
  TLumoData& Slot(int i);
  // The base file key that lists the data files of slot i ("data01" ...).
  static std::string_view DataKey(int i);
  // Sum of Available over the eight data objects.
  int64_t TotalAvailable();
  // File `file` of slot i's object, native, relative to the data folder (the
  // path as loaded when it lies elsewhere).
  std::string_view DataFileName(int i, int32_t file);
  bool WritesState() const { return StateUse_ == TStateUse::kReadWrite; }
  // The input of the last Talk (ANSI), and what {OPERATEMESSAGE} reads (an
  // explanation sets it as a turn would, then puts it back).
  const std::string& LastInput() const { return Input; }
  const std::string& OperateMessageText() const { return OperateMessage; }
  void SetOperateMessage(std::string text) { OperateMessage = std::move(text); }

  // Called with a message (UTF-8, naming the native paths) when a state file
  // needs the user's attention: the destructor's save failed, or a damaged
  // file was kept aside at load (default: none). Set once at program start,
  // before any thread runs; only read afterwards.
  static void (*SaveErrorHandler)(const std::string& message);
  // Called when a character is loaded (not inspected) with a message for
  // each of its files that looks like UTF-8 without the byte order mark, so
  // is read garbled (default: none). Set once at program start, before any
  // thread runs; only read afterwards.
  static void (*EncodingWarningHandler)(const std::string& message);

  std::unique_ptr<TLumoData0> Data01, Data02;
  std::unique_ptr<TLumoDataA> DataA1, DataA2;
  std::unique_ptr<TLumoDataB> DataB1, DataB2;
  std::unique_ptr<TLumoDataC> DataC1, DataC2;
  TUser User;
  std::unique_ptr<TCharacterFile> CharacterFile;
  std::string Folder;    // data folder (native path), ends in a delimiter
  std::string Name;      // "name" value once loading succeeded
  std::string FileName;  // base file path (native)
  // Why the first state file could not be written (UTF-8), "" when it was
  // or one existed: the character runs on its initial state, and its save
  // at release tries again.
  std::string FirstStateError;
  std::string OperateMessage;  // normalised input of the last Talk that searched kind 0
  std::array<std::string, 100> Memos{};
  std::array<double, 100> Counts{};
  std::array<bool, 100> Flags{};
  std::string LastAnswer;    // raw answer chosen by the last Talk
  TAnswerSource LastSource;  // where LastAnswer came from
  std::string Input;         // input of the last Talk
  std::string PrevInput;     // input of the Talk before that
  double StartTime = 0;      // when loading finished (days since 1899-12-30)
  int32_t TalkCount = 0;
  bool AllowExecute = false;

 private:
  void LoadPersonality(std::string_view file_name, std::vector<TLoadNote>* notes);
  void CreateDataObjects();
  void LoadDataFiles(std::vector<TLoadNote>* notes);
  int ValueLine(std::string_view key) const;
  std::string AnswerFreeTalk(const std::string& input, TDataSlots slots);
  std::string AnswerFrom(int slot, const std::string& input);
  bool WriteFirstState();
  void KeepDamagedState(const std::string& path, const std::string& damage) const;
  void ReportSaveError(const std::string& reason) const;
  // Passes each file that looks like UTF-8 without the mark (as far as
  // loading got) to EncodingWarningHandler.
  void WarnAboutEncodings(std::string_view base_file);
  void ReportStateProblem(const std::string& message) const;

  // LIKE's compiled patterns. Mutable: asking a pattern is a const question
  // that fills the cache; one thread uses a character at a time.
  mutable TPatternCache PatternCache_;
  TStateUse StateUse_ = TStateUse::kReadWrite;
};

}  // namespace parlevo

#endif  // PARLEVO_ENGINE_CHARACTER_H_
