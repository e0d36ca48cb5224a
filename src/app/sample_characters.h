// The two sample characters the window opens with when it is given none, and
// the copy of them they run from, so their state files (their memory) persist.
#ifndef PARLEVO_APP_SAMPLE_CHARACTERS_H_
#define PARLEVO_APP_SAMPLE_CHARACTERS_H_

#include <array>
#include <filesystem>

#include "platform/shipped_files.h"

namespace parlevo {

// The samples' base files, relative to their folder ("examples").
inline constexpr std::array<const char*, 2> kSampleBaseFiles = {"hanako/hanako.ltc",
                                                                "robo/robo.ltc"};

// The folder the samples of `shipped` run from: a copy, refreshed by
// RefreshSampleCopy, never the shipped folder itself. An installed program
// must not write below its prefix (not even run by root, nor when the prefix
// is the user's own), so installed samples run from `user_folder`/examples;
// a source tree keeps no state files either, so a development build's run
// from `program_folder`/run/examples, the copy `make run` uses. Throws
// std::filesystem::filesystem_error when the copy fails.
std::filesystem::path SamplesRunFolder(const platform::ShippedFile& shipped,
                                       const std::filesystem::path& user_folder,
                                       const std::filesystem::path& program_folder);

// Copies every file of `from` that is missing in `to`, or older there, and
// keeps its time: files a newer version installs reach the copy, while the
// user's later edits stay. State files (.lts) are never copied: the copy's
// are its own.
void RefreshSampleCopy(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace parlevo

#endif  // PARLEVO_APP_SAMPLE_CHARACTERS_H_
