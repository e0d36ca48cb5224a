// Fuzzes the knowledge data loaders of all four kinds: the first input byte
// picks the kind and whether the rest is enciphered; the rest is the file.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "data/crypt.h"
#include "data/lumo_data.h"
#include "data/personality_text.h"
#include "fuzz_util.h"
#include "platform/clock.h"
#include "platform/textfile.h"

namespace {

std::unique_ptr<parlevo::TLumoData> MakeData(int kind, bool use_once) {
  // Conditions of kind 0 evaluate to themselves: "TRUE" lines are candidates.
  auto evaluate = [](std::u16string_view text, double) {
    return parlevo::TEvaluation{std::u16string(text), true};
  };
  switch (kind) {
    case 0:
      return std::make_unique<parlevo::TLumoData0>(use_once, evaluate);
    case 1:
      return std::make_unique<parlevo::TLumoDataA>(use_once, evaluate);
    case 2:
      return std::make_unique<parlevo::TLumoDataB>(use_once, evaluate);
    default:
      return std::make_unique<parlevo::TLumoDataC>(use_once, evaluate);
  }
}

// The file as a data file author with a cipher tool would store it.
std::string Encipher(const std::string& plain) {
  std::vector<std::string> lines = parlevo::platform::SplitLines(plain);
  parlevo::TCrypt crypt(parlevo::cmEncrypt);
  crypt.SetKey("fuzz key");
  crypt.CryptLines(lines);
  std::string out;
  for (const std::string& line : lines) out += line + "\r\n";
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool frozen = [] {
    parlevo::platform::FreezeClock(38000.5);
    return true;
  }();
  (void)frozen;
  if (size == 0) return 0;
  const int kind = data[0] & 3;
  const bool use_once = data[0] & 4;
  std::string file(reinterpret_cast<const char*>(data + 1), size - 1);
  if (data[0] & 8) file = Encipher(file);
  const std::string path = fuzz::ScratchDir() + "data.txt";
  fuzz::WriteFile(path, file);

  // The lines a data file loads from are those of the one-string reading.
  const parlevo::TPersonalityText text = parlevo::ReadPersonalityText(path);
  const parlevo::TPersonalityLines lines = parlevo::ReadPersonalityLines(path);
  if (lines.Encoding != text.Encoding || lines.Lines.size() != text.Lines.size()) abort();
  for (size_t i = 0; i < text.Lines.size(); ++i) {
    if (lines.Lines[i] != text.Lines[i]) abort();
  }

  std::vector<parlevo::TLoadNote> notes;
  auto lumo = MakeData(kind, use_once);
  lumo->SetNoteSink(&notes);
  lumo->LoadFromFile(path);
  lumo->NoteIdleMarkers();
  lumo->SetContext("HELLO");
  for (const char* input : {"", "HELLO", "{NOTHINGSAID}", "123 ABC"}) lumo->Search(input);
  if (lumo->Available() < 0) abort();
  for (int32_t i = 0; i < lumo->EntryCount(); ++i) {
    const parlevo::TEntryDescription entry = lumo->Describe(i);
    if (entry.Line < 1 || entry.File != path) abort();
  }
  return 0;
}
