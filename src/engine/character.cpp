// The character object: building it from a base file (with the four reasons
// to refuse one), and releasing it, which saves the upper half of its memory.
#include "engine/character.h"

#include <array>
#include <exception>
#include <filesystem>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "data/character_file.h"
#include "data/file_budget.h"
#include "data/lumo_data.h"
#include "data/text_helpers.h"
#include "platform/clock.h"
#include "platform/numbers.h"
#include "platform/textfile.h"

namespace parlevo {

// Set once at program start, before any thread runs, and only read after
// that (by destructors on whichever thread releases a character).
void (*TCharacter::SaveErrorHandler)(const std::string& message) = nullptr;
void (*TCharacter::EncodingWarningHandler)(const std::string& message) = nullptr;

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
  CharacterFile = std::make_unique<TCharacterFile>("");
  CreateDataObjects();
  StartTime = platform::NowLocal();  // {WORK} counts from here
}

TCharacter::TCharacter(std::string_view file_name, TStateUse state_use) : StateUse_(state_use) {
  try {
    LoadPersonality(file_name, nullptr);
  } catch (...) {
    WarnAboutEncodings(file_name);  // a garbled file may be why it is refused
    throw;
  }
  WarnAboutEncodings(file_name);
  // Name is still empty here, so a first state file carries the empty key.
  // One that cannot be written does not stop the character.
  if (WritesState() && !platform::FileExists(StatePath())) WriteFirstState();
  Name = CharacterFile->GetValue("name");
  LoadState();
  StartTime = platform::NowLocal();
}

TCharacter::TCharacter(std::string_view file_name, std::vector<TLoadNote>& notes) {
  LoadPersonality(file_name, &notes);
  StartTime = platform::NowLocal();
}

void TCharacter::LoadPersonality(std::string_view file_name, std::vector<TLoadNote>* notes) {
  if (!platform::FileExists(file_name)) {
    throw ELumoInvalidCharacter("characterfile is not found");
  }
  if (!IsCharacterFile(file_name)) throw ELumoInvalidCharacter("characterfile is invalid");
  CharacterFile = std::make_unique<TCharacterFile>(file_name);
  if (notes != nullptr) {
    for (const TEncodingNote& note : CharacterFile->EncodingNotes()) {
      notes->push_back({std::string(file_name), note.Line, note.Message});
    }
  }
  auto version = platform::TextToInt(CharacterFile->GetValue("version"));
  if (version.value_or(0) < kMinimumVersion) {
    throw ELumoInvalidCharacter("character is not supported in this version");
  }
  FileName = std::string(file_name);
  Folder = ResolveDataFolder(file_name, CharacterFile->GetValue("folder"));
  // A folder that hides its files is not a folder of missing files.
  platform::CheckFolderReadable(Folder);
  CreateDataObjects();
  LoadDataFiles(notes);
  if (TotalAvailable() == 0) throw ELumoInvalidCharacter("character contains no data");
}

TCharacter::~TCharacter() {
  if (!Name.empty() && WritesState()) {
    try {
      SaveState();
    } catch (const std::exception& e) {
      ReportSaveError(e.what());
    } catch (...) {
      ReportSaveError("unknown error");
    }
  }
  // Then the owned objects, base file reader first and the data in slot order.
  CharacterFile.reset();
  Data01.reset();
  Data02.reset();
  DataA1.reset();
  DataA2.reset();
  DataB1.reset();
  DataB2.reset();
  DataC1.reset();
  DataC2.reset();
}

void TCharacter::ReportSaveError(const std::string& reason) const {
  ReportStateProblem("the state file \"" + StatePath() + "\" was not saved: " + reason);
}

void TCharacter::ReportStateProblem(const std::string& message) const {
  if (SaveErrorHandler == nullptr) return;
  try {
    SaveErrorHandler(message);
  } catch (...) {
    // A destructor must not throw; the handler's own failure has nowhere to go.
  }
}

void TCharacter::ReloadData() {
  auto d01 = std::move(Data01), d02 = std::move(Data02);
  auto da1 = std::move(DataA1), da2 = std::move(DataA2);
  auto db1 = std::move(DataB1), db2 = std::move(DataB2);
  auto dc1 = std::move(DataC1), dc2 = std::move(DataC2);
  try {
    CreateDataObjects();
    LoadDataFiles(nullptr);
    if (TotalAvailable() == 0) throw ELumoInvalidCharacter("character contains no data");
  } catch (...) {
    Data01 = std::move(d01), Data02 = std::move(d02);
    DataA1 = std::move(da1), DataA2 = std::move(da2);
    DataB1 = std::move(db1), DataB2 = std::move(db2);
    DataC1 = std::move(dc1), DataC2 = std::move(dc2);
    throw;
  }
}

void TCharacter::CreateDataObjects() {
  auto evaluate = [this](std::u16string_view t, double now) { return EvaluateCondition(t, now); };
  Data01 = std::make_unique<TLumoData0>(true, evaluate);
  Data02 = std::make_unique<TLumoData0>(false, evaluate);
  DataA1 = std::make_unique<TLumoDataA>(true, evaluate);
  DataA2 = std::make_unique<TLumoDataA>(false, evaluate);
  DataB1 = std::make_unique<TLumoDataB>(true, evaluate);
  DataB2 = std::make_unique<TLumoDataB>(false, evaluate);
  DataC1 = std::make_unique<TLumoDataC>(true, evaluate);
  DataC2 = std::make_unique<TLumoDataC>(false, evaluate);
}

void TCharacter::LoadDataFiles(std::vector<TLoadNote>* notes) {
  // A size that cannot be known counts as 0: reading that file fails anyway.
  auto size_of = [](const std::string& path) -> uintmax_t {
    std::error_code error;
    const uintmax_t size = std::filesystem::file_size(path, error);
    return error ? 0 : size;
  };
  uintmax_t total = size_of(FileName);
  for (int i = 0; i < kSlotCount; ++i) {
    TLumoData& slot = Slot(i);
    slot.SetNoteSink(notes);
    for (const std::string& name : SplitCommaText(CharacterFile->GetValue(kDataKeys[i]))) {
      // The name is code page text from the base file.
      std::string path = platform::JoinAnsiPath(Folder, name);
      if (platform::FileExists(path)) {
        const uintmax_t size = size_of(path);
        total += size;
        // A file over its own budget is refused by reading it, as too large.
        if (total > kMaxPersonalityBytes && size <= kMaxPersonalityFileBytes) {
          throw platform::EFileError("cannot read file", path,
                                     "the personality's files together exceed " +
                                         std::to_string(kMaxPersonalityBytes >> 20) + " MiB");
        }
        slot.LoadFromFile(path);
      } else if (notes != nullptr) {
        notes->push_back({FileName, ValueLine(kDataKeys[i]),
                          std::string(kDataKeys[i]) + ": data file not found: " + name});
      }
    }
    if (notes != nullptr) slot.NoteIdleMarkers();
    slot.SetNoteSink(nullptr);
    slot.Ready();
  }
}

// The 1-based line of the base file that holds the value of `key`.
int TCharacter::ValueLine(std::string_view key) const {
  const auto& keys = CharacterFile->Keys();
  for (size_t i = 0; i < keys.size(); ++i) {
    if (keys[i] == key) return static_cast<int>(2 * i + 2);
  }
  return 0;
}

void TCharacter::WarnAboutEncodings(std::string_view base_file) {
  if (EncodingWarningHandler == nullptr) return;
  auto warn = [](std::string_view file, const std::string& message) {
    EncodingWarningHandler(std::string(file) + ": " + message);
  };
  if (CharacterFile && CharacterFile->Encoding() == TTextEncoding::kUtf8WithoutMark) {
    for (const TEncodingNote& note : CharacterFile->EncodingNotes()) warn(base_file, note.Message);
  }
  if (DataC2 == nullptr) return;  // the data objects are made together, DataC2 last
  for (int i = 0; i < kSlotCount; ++i) {
    for (const TLoadNote& note : Slot(i).EncodingWarnings()) warn(note.File, note.Message);
  }
}

int64_t TCharacter::TotalAvailable() {
  int64_t total = 0;
  for (int i = 0; i < kSlotCount; ++i) total += Slot(i).Available();
  return total;
}

std::string_view TCharacter::DataKey(int i) { return kDataKeys.at(i); }

std::string_view TCharacter::DataFileName(int i, int32_t file) {
  std::string_view path = Slot(i).Files().at(static_cast<size_t>(file));
  if (path.substr(0, Folder.size()) == Folder) path.remove_prefix(Folder.size());
  return path;
}

TLumoData& TCharacter::Slot(int i) {
  switch (i) {
    case 0:
      return *Data01;
    case 1:
      return *Data02;
    case 2:
      return *DataA1;
    case 3:
      return *DataA2;
    case 4:
      return *DataB1;
    case 5:
      return *DataB2;
    case 6:
      return *DataC1;
    case 7:
      return *DataC2;
    default:
      throw std::out_of_range("data slot out of range");
  }
}

std::string TCharacter::StatePath() const {
  if (FileName.empty()) return "";
  std::string name = platform::NativeFileName(FileName);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.resize(dot);
  return Folder + name + ".lts";
}

}  // namespace parlevo
