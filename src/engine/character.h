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
#include <functional>
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
// "character is not supported in this version", "character contains no data"
// (what() is that text and nothing else); a stable code for it
// ("unsupported-version") and, apart, what tells this case from others of
// the same message (UTF-8, may be empty): "no "version" line".
class ELumoInvalidCharacter : public ELumoError {
 public:
  explicit ELumoInvalidCharacter(const std::string& message, std::string_view code = "refused",
                                 std::string detail = {})
      : ELumoError(message), Code_(code), Detail_(std::move(detail)) {}
  std::string_view Code() const { return Code_; }
  const std::string& Detail() const { return Detail_; }

 private:
  std::string_view Code_;
  std::string Detail_;
};

// How a load that failed is told (UTF-8): the base file's path, then the
// message unchanged, then the refusal's detail in parentheses:
// "hiyori/hiyor.ltc: characterfile is not found".
std::string LoadErrorText(std::string_view base_file, const std::exception& error);

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
// kept slots at release) or only reads it, for tools that must leave no trace;
// kNone neither reads nor writes it: the character meets its partner for the
// first time, its memory empty, whatever was saved (test scripts).
enum class TStateUse { kReadWrite, kReadOnly, kNone };

// Where the answer of the last Talk came from: its data slot (0 = Data01 ...
// 7 = DataC2; -1 when nothing answered) and the pick within that object.
struct TAnswerSource {
  int Slot = -1;
  TPick Pick;
};

// What went wrong with a state file.
enum class TStateProblem {
  kNotSaved,   // a save failed: what changed since the last save is not kept
  kKeptAside,  // it was damaged and renamed at load; a fresh one is written
  kNotAFile,   // it is no regular file: left as it is, never read or written
};

// How a loaded character reports and whether it writes its state file.
// Handlers run on whichever thread releases the character, so they must be
// safe there; an empty handler reports nothing.
struct TCharacterOptions {
  TCharacterOptions(TStateUse state_use = TStateUse::kReadWrite) : StateUse(state_use) {}

  TStateUse StateUse;
  // Called with a message (UTF-8, naming the native paths) when a state file
  // needs the user's attention: the save at release failed, or a damaged file
  // was kept aside at load.
  std::function<void(TStateProblem problem, const std::string& message)> OnStateProblem;
};

class TCharacter {
 public:
  static constexpr int kSlotCount = 8;
  static constexpr int kFirstFreeTalk = 6;  // slots 6 and 7 are kind C
  static constexpr int kMemorySlots = 100;  // slots 50-99 are kept in the state file

  // A character with no files: nothing is loaded and nothing is saved.
  TCharacter();
  // Loads the character from its base file: a native path, reaching the file
  // system as given (the names inside the base file are code page text).
  // Throws ELumoInvalidCharacter, or platform::EFileError for an unreadable
  // file or data folder. A first state file that cannot be written does not
  // stop it (FirstStateError says why). With TStateUse::kReadOnly the state
  // file is read when there is one and never written (nor kept aside).
  explicit TCharacter(std::string_view file_name, TCharacterOptions options = {});
  // Loads like the constructor above and refuses the same characters, but
  // reads and writes no state file (Name stays empty, so nothing is saved)
  // and appends to `notes` what loading passes over in silence: missing data
  // files and the data objects' own notes. For personality authors.
  TCharacter(std::string_view file_name, std::vector<TLoadNote>& notes);
  // What a user of the loaded character should know about its files, even
  // when nothing is noted (a listed data file that is a folder), UTF-8.
  const std::vector<TLoadNote>& LoadWarnings() const { return LoadWarnings_; }
  // Saves the state file when Name is not empty (and the state is writable).
  // Never throws: a failed save keeps the old file and is reported through
  // the options' OnStateProblem.
  ~TCharacter();
  TCharacter(const TCharacter&) = delete;
  TCharacter& operator=(const TCharacter&) = delete;

  // ---- Talking --------------------------------------------------------------

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

  // ---- Who it is ------------------------------------------------------------

  // The "name" value once a character that keeps state has loaded; "" for a
  // character with no files or one loaded for inspection (nothing is saved).
  const std::string& Name() const { return Name_; }
  // The name it speaks under: the base file's "name" value ("" without files).
  std::string DisplayName() const;
  const std::string& FileName() const { return FileName_; }  // base file (native)
  const std::string& Folder() const {
    return Folder_;
  }  // data folder (native), ends in a delimiter
  const TCharacterFile& BaseFile() const { return *CharacterFile_; }
  // Why the first state file could not be written (UTF-8), "" when it was
  // or one existed: the character runs on its initial state, and its save
  // at release tries again.
  const std::string& FirstStateError() const { return FirstStateError_; }
  bool WritesState() const { return Options_.StateUse == TStateUse::kReadWrite; }

  // ---- The partner ----------------------------------------------------------

  // The one place the partner's four name fields are set: all to `name`.
  void SetPartner(std::string_view name);
  // The partner's whole profile.
  void SetPartnerProfile(const TUser& user) { User_ = user; }
  const TUser& User() const { return User_; }

  // ---- Memory ---------------------------------------------------------------

  // Slot i of the three kinds of memory (0 <= i < kMemorySlots; any other i
  // throws std::out_of_range).
  const std::string& Memo(int i) const { return Memos_.at(static_cast<size_t>(i)); }
  double Count(int i) const { return Counts_.at(static_cast<size_t>(i)); }
  bool Flag(int i) const { return Flags_.at(static_cast<size_t>(i)); }
  void SetMemo(int i, std::string text) { Memos_.at(static_cast<size_t>(i)) = std::move(text); }
  void SetCount(int i, double value) { Counts_.at(static_cast<size_t>(i)) = value; }
  void SetFlag(int i, bool value) { Flags_.at(static_cast<size_t>(i)) = value; }

  // Reads slots 50-99 from the state file, writing a first one when there is
  // none (when that fails, the slots stay initial and FirstStateError says
  // why); a file too short clears them, a bad number line leaves its slot 0.
  // A file that is not what SaveState writes (too short, not text, a line
  // that is not a number or truth value, a memo over the cap) is read as far
  // as it can be, then renamed to "NAME.lts.bad" (or .bad2, ...) and
  // reported through OnStateProblem, so the next save cannot destroy it.
  // Nothing happens for a character with no files.
  void LoadState();
  // Writes slots 50-99 enciphered with Name, replacing the file atomically.
  // A line break in a memo is saved as "{BR}" (shown as a break again) and
  // any other control character as a blank, so every memo stays one line.
  // Throws platform::EFileError when the file cannot be written (old file kept).
  void SaveState();
  // Saves the state file when slots 50-99 changed since it was last read or
  // written (nothing for a character that saves no state). A failure keeps
  // the old file and is reported through OnStateProblem once, until a save
  // succeeds again. Never throws. For saving as a conversation goes.
  void SaveChanges();
  // Path of the state file (native): Folder + base file name with extension
  // ".lts".
  std::string StatePath() const;

  // ---- The last Talk --------------------------------------------------------

  const std::string& LastAnswer() const { return LastAnswer_; }    // raw answer chosen
  const TAnswerSource& LastSource() const { return LastSource_; }  // where it came from
  const std::string& Input() const { return Input_; }              // its input (ANSI)
  const std::string& PrevInput() const { return PrevInput_; }      // the input before that
  // Normalised input of the last Talk that searched kind 0, "" otherwise.
  const std::string& OperateMessage() const { return OperateMessage_; }
  int32_t TalkCount() const { return TalkCount_; }
  double StartTime() const { return StartTime_; }  // when loading finished (days since 1899-12-30)
  bool AllowExecute() const { return AllowExecute_; }

  // ---- Knowledge data -------------------------------------------------------

  // The data object of slot i (0 = Data01 ... 7 = DataC2); throws
  // std::out_of_range for any other i.
  TLumoData& Slot(int i) { return *Data_.at(static_cast<size_t>(i)); }
  const TLumoData& Slot(int i) const { return *Data_.at(static_cast<size_t>(i)); }
  // The base file key that lists the data files of slot i ("data01" ...).
  static std::string_view DataKey(int i);
  // Sum of Available over the eight data objects.
  int64_t TotalAvailable() const;
  // Lines of data files read by the eight objects, against the entries budget.
  size_t LinesRead() const;
  // File `file` of slot i's object, native, relative to the data folder (the
  // path as loaded when it lies elsewhere).
  std::string_view DataFileName(int i, int32_t file) const;
  // What {OPERATEMESSAGE} reads, set as a turn sets it: for an explanation,
  // which asks the objects as a turn would and then puts it back.
  void SetOperateMessage(std::string text) { OperateMessage_ = std::move(text); }
  // Reads the data files named in the base file again, keeping memory,
  // counters and the partner. When they yield no entry, or one cannot be
  // read, the old data stays and the error is thrown.
  void ReloadData();

 private:
  friend struct TTagContext;          // tag functions read and write the memory
  friend class TCharacterTestAccess;  // tests set up a conversation's bookkeeping

  using TDataObjects = std::array<std::unique_ptr<TLumoData>, kSlotCount>;

  void LoadPersonality(std::string_view file_name, std::vector<TLoadNote>* notes);
  TDataObjects CreateDataObjects();
  void LoadDataFiles(std::vector<TLoadNote>* notes);
  int ValueLine(std::string_view key) const;
  void NoteDataFile(int slot, const std::string& name, const std::string& path,
                    std::vector<TLoadNote>* notes);
  [[noreturn]] void RefuseVersion() const;
  std::string AnswerFreeTalk(const std::string& input, TDataSlots slots);
  std::string AnswerFrom(int slot, const std::string& input);
  bool WriteFirstState();
  std::vector<std::string> KeptLines() const;  // slots 50-99 as saved, before the cipher
  void KeepDamagedState(const std::string& path, const std::string& damage) const;
  void ReportSaveError(const std::string& reason) const;
  void ReportStateProblem(TStateProblem problem, const std::string& message) const;

  TCharacterOptions Options_;
  TDataObjects Data_;  // Data01, Data02, DataA1, DataA2, DataB1, DataB2, DataC1, DataC2
  TUser User_;
  std::unique_ptr<TCharacterFile> CharacterFile_;
  std::string Folder_;
  std::string Name_;
  std::string FileName_;
  std::string FirstStateError_;
  std::vector<TLoadNote> LoadWarnings_;
  std::string OperateMessage_;
  std::array<std::string, kMemorySlots> Memos_{};
  std::array<double, kMemorySlots> Counts_{};
  std::array<bool, kMemorySlots> Flags_{};
  std::string LastAnswer_;
  TAnswerSource LastSource_;
  std::string Input_;
  std::string PrevInput_;
  double StartTime_ = 0;
  int32_t TalkCount_ = 0;
  bool AllowExecute_ = false;            // never set: this system starts no programs
  bool StateRefused_ = false;            // the state file is no regular file: never read or written
  std::vector<std::string> SavedLines_;  // what the state file holds (KeptLines)
  bool SaveFailing_ = false;             // the last SaveChanges failed and said so

  // LIKE's compiled patterns. Mutable: asking a pattern is a const question
  // that fills the cache; one thread uses a character at a time.
  mutable TPatternCache PatternCache_;
};

}  // namespace parlevo

#endif  // PARLEVO_ENGINE_CHARACTER_H_
