// Paths as text and as std::filesystem paths. Every path we show, store or take from the user is
// UTF-8 text; PathFromUtf8 and Utf8FromPath are the one way between that text and a path (on
// Windows nothing goes through the ANSI code page). The text rules of portfolio paths (joining a
// name, the directory of a MASTER path, the volume of a path) take the path style as an argument,
// so that the rules of both systems are tested on either.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace ledgrix::platform {

using Path = std::filesystem::path;

// UTF-8 text to a path, and back. On POSIX the bytes are kept as they are.
Path PathFromUtf8(std::string_view text);
std::string Utf8FromPath(const Path& path);

enum class PathStyle { kPosix, kWindows };
#ifdef _WIN32
inline constexpr PathStyle kNativeStyle = PathStyle::kWindows;
#else
inline constexpr PathStyle kNativeStyle = PathStyle::kPosix;
#endif

// The separator a path of this style is written with ("\" on Windows, which also reads "/").
char Separator(PathStyle style = kNativeStyle);

// Length of the root at the start of path: "/" on POSIX; on Windows "C:\", "C:" (the drive alone,
// which this program's portfolio texts use for the drive's root), "\\server\share\" and "\".
// 0 for a relative path.
std::size_t RootLength(std::string_view path, PathStyle style = kNativeStyle);

// True for a path that names the same place whatever the current directory ("C:\x", "\\srv\s",
// "/x"; not "C:x" or "\x" on Windows).
bool IsAbsolute(std::string_view path, PathStyle style = kNativeStyle);

// name inside dir, one separator between them. A drive alone ("C:") stands for its root, so
// "C:" and "MASTER" give "C:\MASTER", never the drive-relative "C:MASTER".
std::string JoinPath(std::string_view dir, std::string_view name, PathStyle style = kNativeStyle);

// The directory of a file path: the text before its last separator; a root keeps its separator
// ("/MASTER" gives "/", "C:\MASTER" gives "C:\"). Empty when the path has no directory part.
std::string DirectoryOf(std::string_view filePath, PathStyle style = kNativeStyle);

// The MASTER file of a portfolio directory.
std::string MasterPathOf(std::string_view dir, PathStyle style = kNativeStyle);

// The path without "." and ".." components, doubled separators or a trailing separator (a root
// keeps its own); on Windows with "\" only.
std::string LexicallyClean(std::string_view path, PathStyle style = kNativeStyle);

// The root of roots that holds path: the longest that is a prefix of it at a component boundary
// (on Windows compared ignoring ASCII case and the separator used). Empty when none does.
std::string VolumeOf(const std::vector<std::string>& roots, std::string_view path,
                     PathStyle style = kNativeStyle);

// The Windows directory (where the old settings file lies); empty on other systems.
Path WindowsDirectory();

}  // namespace ledgrix::platform
