// Choosing the copy the samples run from, and keeping it in step with the
// shipped samples.
#include "app/sample_characters.h"

namespace parlevo {

namespace fs = std::filesystem;

fs::path SamplesRunFolder(const platform::ShippedFile& shipped, const fs::path& user_folder,
                          const fs::path& program_folder) {
  const fs::path copy =
      shipped.installed ? user_folder / "examples" : program_folder / "run" / "examples";
  RefreshSampleCopy(shipped.path, copy);
  return copy;
}

void RefreshSampleCopy(const fs::path& from, const fs::path& to) {
  fs::create_directories(to);
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(from)) {
    const fs::path target = to / fs::relative(entry.path(), from);
    if (entry.is_directory()) {
      fs::create_directories(target);
      continue;
    }
    // State files belong to the copy: the shipped folder's own (a development
    // tree's) never replace what the copy remembers.
    if (!entry.is_regular_file() || entry.path().extension() == ".lts") continue;
    const fs::file_time_type shipped_time = entry.last_write_time();
    std::error_code missing;
    if (fs::exists(target) && fs::last_write_time(target, missing) >= shipped_time) continue;
    fs::copy_file(entry.path(), target, fs::copy_options::overwrite_existing);
    fs::last_write_time(target, shipped_time);
  }
}

}  // namespace parlevo
