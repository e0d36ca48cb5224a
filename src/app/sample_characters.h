// The two sample characters the window opens with when it is given none, and
// the folder they run from, chosen so their state files (their memory) persist.
#ifndef PARLEVO_APP_SAMPLE_CHARACTERS_H_
#define PARLEVO_APP_SAMPLE_CHARACTERS_H_

#include <array>
#include <filesystem>

#include "platform/shipped_files.h"

namespace parlevo {

// The samples' base files, relative to their folder ("examples").
inline constexpr std::array<const char*, 2> kSampleBaseFiles = {"hanako/hanako.ltc",
                                                                "robo/robo.ltc"};

// The folder the samples of `shipped` run from. A development build's samples
// run in place while every folder of them can be written. Installed samples
// never do (a program must not write below its prefix, even run by root), nor
// do read-only ones: they run from `user_folder`/examples, a copy refreshed
// by RefreshSampleCopy. Throws std::filesystem::filesystem_error when the
// copy fails.
std::filesystem::path SamplesRunFolder(const platform::ShippedFile& shipped,
                                       const std::filesystem::path& user_folder);

// Copies every file of `from` that is missing in `to`, or older there, and
// keeps its time: files a newer version installs reach the copy, while the
// user's later edits stay. State files (.lts) are never copied: the copy's
// are its own. Throws
// std::filesystem::filesystem_error when a file cannot be copied.
void RefreshSampleCopy(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace parlevo

#endif  // PARLEVO_APP_SAMPLE_CHARACTERS_H_
