// Fuzzes personality test scripts: any bytes are read as a script, which is
// either refused at a line or run against a small character that answers,
// remembers and expands tags; neither crashes nor throws anything else, and
// no state file is written.
#include <stdlib.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/personality_test.h"

namespace {

namespace fs = std::filesystem;

void WriteLines(const fs::path& file, std::initializer_list<const char*> lines) {
  std::ofstream out(file, std::ios::binary);
  for (const char* line : lines) out << line << "\r\n";
}

// A character in a temporary folder of its own, made once per process.
const std::string& BaseFile() {
  static const std::string base = [] {
    std::string folder = (fs::temp_directory_path() / "parlevo-fuzz-script-XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr) std::abort();
    const fs::path dir(folder);
    WriteLines(dir / "open.txt", {"{EQ{COUNT50}|0},\"first{COUNT50++}\"",
                                  "{>{COUNT50}|0},\"again {COUNT50}{MEMO51}\""});
    WriteLines(dir / "react.txt", {"^HI,hello{MEMO51:x}", "{PRIOR},-", "., {CHOICEa|b|c}"});
    WriteLines(dir / "talk.txt", {"{FLAG52!}{IF{FLAG52}yes|no}"});
    WriteLines(dir / "f.ltc", {"name", "f", "version", "210", "folder", "", "data02", "open.txt",
                               "datab2", "react.txt", "datac2", "talk.txt"});
    return (dir / "f.ltc").string();
  }();
  return base;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 4096) return 0;  // a script's worth: long inputs only cost time
  std::vector<parlevo::TScriptStep> steps;
  try {
    steps = parlevo::ParseTestScript(std::string_view(reinterpret_cast<const char*>(data), size));
  } catch (const parlevo::ETestScriptError&) {
    return 0;
  }
  parlevo::TScriptRun run;
  run.Clock = 46147.5;
  parlevo::RunTestScript(steps, BaseFile(), run);
  if (fs::exists(fs::path(BaseFile()).replace_extension(".lts"))) std::abort();
  return 0;
}
