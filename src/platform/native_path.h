// Paths as the file system takes them (native: the bytes as given, UTF-8 on
// Linux and macOS) and the joining of ANSI names read from personality files.
#ifndef PARLEVO_PLATFORM_NATIVE_PATH_H_
#define PARLEVO_PLATFORM_NATIVE_PATH_H_

#include <string>
#include <string_view>

namespace parlevo::platform {

// A path the user or the desktop gave (command line, file dialog) is native
// and reaches the file system as given. Only names read from a base file are
// code page text: JoinAnsiPath turns them into native components below a
// native folder.

// `folder` (native, taken as it stands) followed by the ANSI relative path
// `ansi_name`: "\" that is not the second byte of a double-byte character
// becomes "/", each component is converted from the code page, and a
// component that does not exist with that exact spelling is matched
// case-insensitively in its folder (ASCII, Latin-1 and full-width letters
// fold; of several matches the smallest name wins). After a component that
// is not found the rest is taken as spelled. A trailing delimiter is kept.
std::string JoinAnsiPath(std::string_view folder, std::string_view ansi_name);

// The native path of a whole ANSI path (a leading delimiter makes it
// absolute), found as JoinAnsiPath finds its components.
std::string NativePath(std::string_view ansi_path);

// Folder part of a native path up to and including the last delimiter
// (empty when none), and the name after it.
std::string NativeFileDir(std::string_view path);
std::string NativeFileName(std::string_view path);
// `path` (native) as an editor started in the current folder opens it:
// relative to that folder when the file lies below it, else absolute, with
// "." and ".." steps taken out (links are left as they are). The one way
// tools name a personality's files to their author.
std::string EditorPath(std::string_view path);
// True when a native path ends in a delimiter.
bool NativeEndsWithDelimiter(std::string_view path);
// The native delimiter appended to folders.
#ifdef _WIN32
inline constexpr char kNativeDelimiter = '\\';
#else
inline constexpr char kNativeDelimiter = '/';
#endif

}  // namespace parlevo::platform

#endif  // PARLEVO_PLATFORM_NATIVE_PATH_H_
