// The character object: building it from a base file (with the four reasons
// to refuse one), and releasing it, which saves the upper half of its memory.
#include "engine/character.h"

#include <array>
#include <exception>
#include <filesystem>
#include <stdexcept>
#include <string_view>
#include <utility>
#include <vector>

#include "data/character_file.h"
#include "data/file_budget.h"
#include "data/lumo_data.h"
#include "data/text_helpers.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/native_path.h"
#include "platform/numbers.h"
#include "platform/textfile.h"
#include "regex/match_budget.h"

namespace parlevo {

namespace {

// The base file keys of the eight data objects, in slot order.
constexpr std::array<std::string_view, 8> kDataKeys = {"data01", "data02", "dataa1", "dataa2",
                                                       "datab1", "datab2", "datac1", "datac2"};

// The oldest personality format this engine reads.
constexpr int32_t kMinimumVersion = 210;

}  // namespace

TCharacter::TCharacter() {
  // An empty reader: every key reads as "", so tags that ask the base file
  // find nothing instead of a missing object.
  CharacterFile_ = std::make_unique<TCharacterFile>("");
  Data_ = CreateDataObjects();
  StartTime_ = platform::NowLocal();  // {WORK} counts from here
}

TCharacter::TCharacter(std::string_view file_name, TCharacterOptions options)
    : Options_(std::move(options)) {
  LoadPersonality(file_name, nullptr);
  const bool uses_state = Options_.StateUse != TStateUse::kNone;
  if (uses_state && platform::IsOtherThanFile(StatePath())) {
    // Reading a FIFO or a device could block, and replacing it would destroy
    // what someone put there.
    StateRefused_ = true;
    ReportStateProblem(TStateProblem::kNotAFile,
                       "the state file \"" + StatePath() +
                           "\" is not a regular file: it is left as it is, and this "
                           "character's memory is not kept");
  } else if (WritesState() && !platform::FileExists(StatePath())) {
    // Name is still empty here, so a first state file carries the empty key.
    // One that cannot be written does not stop the character.
    WriteFirstState();
  }
  Name_ = CharacterFile_->GetValue("name");
  LoadState();
  StartTime_ = platform::NowLocal();
}

TCharacter::TCharacter(std::string_view file_name, std::vector<TLoadNote>& notes) {
  LoadPersonality(file_name, &notes);
  StartTime_ = platform::NowLocal();
}

std::string LoadErrorText(std::string_view base_file, const std::exception& error) {
  std::string text = std::string(base_file) + ": " + error.what();
  const auto* refusal = dynamic_cast<const ELumoInvalidCharacter*>(&error);
  if (refusal != nullptr && !refusal->Detail().empty()) text += " (" + refusal->Detail() + ")";
  return text;
}

void TCharacter::LoadPersonality(std::string_view file_name, std::vector<TLoadNote>* notes) {
  if (!platform::FileExists(file_name)) {
    throw ELumoInvalidCharacter(
        "characterfile is not found", "base-file-not-found",
        platform::IsOtherThanFile(file_name) ? "it is a folder or a device, not a file" : "");
  }
  if (!IsCharacterFile(file_name)) {
    throw ELumoInvalidCharacter("characterfile is invalid", "base-file-invalid",
                                "it has neither a \"name\" nor a \"folder\" value");
  }
  CharacterFile_ = std::make_unique<TCharacterFile>(file_name);
  if (notes != nullptr) {
    notes->insert(notes->end(), CharacterFile_->EncodingNotes().begin(),
                  CharacterFile_->EncodingNotes().end());
  }
  auto version = platform::TextToInt(CharacterFile_->GetValue("version"));
  if (version.value_or(0) < kMinimumVersion) RefuseVersion();
  FileName_ = std::string(file_name);
  Folder_ = ResolveDataFolder(file_name, CharacterFile_->GetValue("folder"));
  // A folder that hides its files is not a folder of missing files.
  platform::CheckFolderReadable(Folder_);
  Data_ = CreateDataObjects();
  LoadDataFiles(notes);
  if (TotalAvailable() == 0) throw ELumoInvalidCharacter("character contains no data", "no-data");
}

// A missing "version" line and a value too low are told apart in the detail.
void TCharacter::RefuseVersion() const {
  const std::string value = CharacterFile_->GetValue("version");
  std::string detail;
  if (ValueLine("version") == 0) {
    detail = "the base file has no \"version\" line";
  } else if (!platform::TextToInt(value)) {
    detail = "version \"" + platform::AnsiToUtf8(value) + "\" is not a whole number; " +
             std::to_string(kMinimumVersion) + " or more is needed";
  } else {
    detail = "version " + platform::AnsiToUtf8(value) + "; " + std::to_string(kMinimumVersion) +
             " or more is needed";
  }
  throw ELumoInvalidCharacter("character is not supported in this version", "unsupported-version",
                              detail);
}

TCharacter::~TCharacter() {
  if (!Name_.empty() && WritesState() && !StateRefused_) {
    try {
      SaveState();
    } catch (const std::exception& e) {
      ReportSaveError(e.what());
    } catch (...) {
      ReportSaveError("unknown error");
    }
  }
  // Then the owned objects, base file reader first and the data in slot order.
  CharacterFile_.reset();
  for (std::unique_ptr<TLumoData>& data : Data_) data.reset();
}

void TCharacter::ReportSaveError(const std::string& reason) const {
  ReportStateProblem(TStateProblem::kNotSaved,
                     "the state file \"" + StatePath() + "\" was not saved: " + reason);
}

void TCharacter::ReportStateProblem(TStateProblem problem, const std::string& message) const {
  if (!Options_.OnStateProblem) return;
  try {
    Options_.OnStateProblem(problem, message);
  } catch (...) {
    // A destructor must not throw; the handler's own failure has nowhere to go.
  }
}

void TCharacter::ReloadData() {
  TDataObjects old = std::exchange(Data_, CreateDataObjects());
  try {
    LoadDataFiles(nullptr);
    if (TotalAvailable() == 0) throw ELumoInvalidCharacter("character contains no data", "no-data");
  } catch (...) {
    Data_ = std::move(old);
    throw;
  }
  // Kind A goes on asking its context patterns in the last answer.
  for (std::unique_ptr<TLumoData>& data : Data_) data->SetContext(LastAnswer_);
}

// Each kind twice: the first of a pair uses its entries up, the second not.
TCharacter::TDataObjects TCharacter::CreateDataObjects() {
  auto evaluate = [this](std::u16string_view t, double now) { return EvaluateCondition(t, now); };
  TDataObjects objects = {
      std::make_unique<TLumoData0>(true, evaluate), std::make_unique<TLumoData0>(false, evaluate),
      std::make_unique<TLumoDataA>(true, evaluate), std::make_unique<TLumoDataA>(false, evaluate),
      std::make_unique<TLumoDataB>(true, evaluate), std::make_unique<TLumoDataB>(false, evaluate),
      std::make_unique<TLumoDataC>(true, evaluate), std::make_unique<TLumoDataC>(false, evaluate)};
  // One memory budget for what all of the character's patterns build.
  auto budget = std::make_shared<TbmREMatchBudget>(kMinMatchBudgetBytes, kMatchBudgetBytes);
  for (std::unique_ptr<TLumoData>& object : objects) object->SetMatchBudget(budget);
  return objects;
}

void TCharacter::SetPartner(std::string_view name) {
  User_.FamilyName = name;
  User_.GivenName = name;
  User_.OtherName = name;
  User_.Nickname = name;
}

std::string TCharacter::DisplayName() const { return CharacterFile_->GetValue("name"); }

void TCharacter::LoadDataFiles(std::vector<TLoadNote>* notes) {
  // A size that cannot be known counts as 0: reading that file fails anyway.
  auto size_of = [](const std::string& path) -> uintmax_t {
    std::error_code error;
    const uintmax_t size = std::filesystem::file_size(path, error);
    return error ? 0 : size;
  };
  uintmax_t total = size_of(FileName_);
  LoadWarnings_.clear();
  for (int i = 0; i < kSlotCount; ++i) {
    TLumoData& slot = Slot(i);
    slot.SetNoteSink(notes);
    for (const std::string& name : SplitCommaText(CharacterFile_->GetValue(kDataKeys[i]))) {
      // The name is code page text from the base file.
      std::string path = platform::JoinAnsiPath(Folder_, name);
      if (platform::FileExists(path)) {
        const uintmax_t size = size_of(path);
        total += size;
        // A file over its own budget is refused by reading it, as too large.
        if (total > kMaxPersonalityBytes && size <= kMaxPersonalityFileBytes) {
          throw platform::EFileError("cannot read file", path,
                                     "the personality's files together exceed " +
                                         std::to_string(kMaxPersonalityBytes >> 20) + " MiB");
        }
        slot.LoadFromFile(path, kMaxPersonalityEntries - LinesRead());
      } else {
        NoteDataFile(i, name, path, notes);
      }
    }
    if (notes != nullptr) slot.NoteIdleMarkers();
    slot.SetNoteSink(nullptr);
    slot.Ready();
  }
}

// A listed data file that is not there: missing (noted for authors, with
// the folder searched), or a folder or device (a load warning as well, so a
// window can tell its user).
void TCharacter::NoteDataFile(int slot, const std::string& name, const std::string& path,
                              std::vector<TLoadNote>* notes) {
  const std::string key(kDataKeys[slot]);
  const std::string shown = platform::AnsiToUtf8(name);
  if (platform::IsOtherThanFile(path)) {
    const bool folder = std::filesystem::is_directory(path);
    TLoadNote note{
        FileName_, ValueLine(key),
        key + ": " + shown + (folder ? ": is a folder, not a file" : ": is not a regular file"),
        "data-file-not-a-file"};
    if (notes != nullptr) notes->push_back(note);
    LoadWarnings_.push_back(std::move(note));
  } else if (notes != nullptr) {
    notes->push_back({FileName_, ValueLine(key),
                      key + ": data file not found: " + shown + " (looked in " +
                          platform::EditorPath(Folder_) + ")",
                      "missing-data-file"});
  }
}

// The 1-based line of the base file that holds the value of `key`.
int TCharacter::ValueLine(std::string_view key) const {
  const auto& keys = CharacterFile_->Keys();
  for (size_t i = 0; i < keys.size(); ++i) {
    if (keys[i] == key) return static_cast<int>(2 * i + 2);
  }
  return 0;
}

size_t TCharacter::LinesRead() const {
  size_t lines = 0;
  for (int i = 0; i < kSlotCount; ++i) lines += Slot(i).LinesRead();
  return lines;
}

int64_t TCharacter::TotalAvailable() const {
  int64_t total = 0;
  for (int i = 0; i < kSlotCount; ++i) total += Slot(i).Available();
  return total;
}

std::string_view TCharacter::DataKey(int i) { return kDataKeys.at(i); }

std::string_view TCharacter::DataFileName(int i, int32_t file) const {
  std::string_view path = Slot(i).Files().at(static_cast<size_t>(file));
  if (path.substr(0, Folder_.size()) == Folder_) path.remove_prefix(Folder_.size());
  return path;
}

std::string TCharacter::StatePath() const {
  if (FileName_.empty()) return "";
  std::string name = platform::NativeFileName(FileName_);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.resize(dot);
  return Folder_ + name + ".lts";
}

}  // namespace parlevo
