// Path text rules of both systems, and the one conversion between UTF-8 text and paths.
#include "platform/paths.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace ledgrix::platform {
namespace {

bool IsSep(char c, PathStyle style) {
  return c == '/' || (style == PathStyle::kWindows && c == '\\');
}

bool IsDriveLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

char FoldAscii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameText(std::string_view a, std::string_view b, PathStyle style) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const char x = style == PathStyle::kWindows ? FoldAscii(a[i]) : a[i];
    const char y = style == PathStyle::kWindows ? FoldAscii(b[i]) : b[i];
    if (x != y)
      return false;
  }
  return true;
}

// The end of the component that starts at from.
std::size_t ComponentEnd(std::string_view path, std::size_t from, PathStyle style) {
  while (from < path.size() && !IsSep(path[from], style))
    ++from;
  return from;
}

}  // namespace

#ifdef _WIN32

Path PathFromUtf8(std::string_view text) {
  if (text.empty())
    return {};
  const int size = static_cast<int>(text.size());
  const int wide = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
  std::wstring out(static_cast<std::size_t>(wide), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, out.data(), wide);
  return Path(std::move(out));
}

std::string Utf8FromPath(const Path& path) {
  const std::wstring& wide = path.native();
  if (wide.empty())
    return {};
  const int size = static_cast<int>(wide.size());
  const int bytes =
      ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(bytes), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, out.data(), bytes, nullptr, nullptr);
  return out;
}

Path WindowsDirectory() {
  wchar_t buffer[MAX_PATH + 1] = {};
  const UINT length = ::GetWindowsDirectoryW(buffer, MAX_PATH + 1);
  if (length == 0 || length > MAX_PATH)
    return {};
  return Path(std::wstring(buffer, length));
}

#else

Path PathFromUtf8(std::string_view text) {
  return Path(std::string(text));
}

std::string Utf8FromPath(const Path& path) {
  return path.native();
}

Path WindowsDirectory() {
  return {};
}

#endif

char Separator(PathStyle style) {
  return style == PathStyle::kWindows ? '\\' : '/';
}

std::size_t RootLength(std::string_view path, PathStyle style) {
  if (style == PathStyle::kPosix)
    return !path.empty() && path[0] == '/' ? 1 : 0;
  if (path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == ':')
    return path.size() >= 3 && IsSep(path[2], style) ? 3 : 2;
  if (path.size() >= 2 && IsSep(path[0], style) && IsSep(path[1], style)) {
    // \\server\share\ : the server and the share belong to the root.
    const std::size_t server = ComponentEnd(path, 2, style);
    if (server >= path.size())
      return path.size();
    const std::size_t share = ComponentEnd(path, server + 1, style);
    return share < path.size() ? share + 1 : share;
  }
  return !path.empty() && IsSep(path[0], style) ? 1 : 0;
}

bool IsAbsolute(std::string_view path, PathStyle style) {
  // A drive-relative "C:x" or a "\x" on the current drive is not.
  return RootLength(path, style) > (style == PathStyle::kPosix ? 0u : 2u);
}

std::string JoinPath(std::string_view dir, std::string_view name, PathStyle style) {
  std::string joined(dir);
  const bool driveAlone =
      style == PathStyle::kWindows && dir.size() == 2 && RootLength(dir, style) == 2;
  if (!joined.empty() && (driveAlone || !IsSep(joined.back(), style)))
    joined.push_back(Separator(style));
  joined.append(name);
  return joined;
}

std::string DirectoryOf(std::string_view filePath, PathStyle style) {
  const std::size_t root = RootLength(filePath, style);
  std::size_t cut = filePath.size();
  while (cut > root && !IsSep(filePath[cut - 1], style))
    --cut;
  if (cut <= root)
    return std::string(filePath.substr(0, root));
  return std::string(filePath.substr(0, cut - 1));
}

std::string MasterPathOf(std::string_view dir, PathStyle style) {
  return JoinPath(dir, "MASTER", style);
}

std::string LexicallyClean(std::string_view path, PathStyle style) {
  const std::size_t rootLength = RootLength(path, style);
  std::string root(path.substr(0, rootLength));
  for (char& c : root) {
    if (IsSep(c, style))
      c = Separator(style);
  }
  std::vector<std::string_view> parts;
  for (std::size_t at = rootLength; at < path.size();) {
    const std::size_t end = ComponentEnd(path, at, style);
    const std::string_view part = path.substr(at, end - at);
    at = end + 1;
    if (part.empty() || part == ".")
      continue;
    if (part == ".." && !parts.empty() && parts.back() != "..") {
      parts.pop_back();
    } else if (part != ".." || rootLength == 0) {
      parts.push_back(part);
    }
  }
  std::string clean = root;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0)
      clean.push_back(Separator(style));
    clean.append(parts[i]);
  }
  return clean.empty() ? std::string(".") : clean;
}

std::string VolumeOf(const std::vector<std::string>& roots, std::string_view path,
                     PathStyle style) {
  const std::string target = LexicallyClean(path, style);
  std::string best;
  std::size_t bestLength = 0;
  bool found = false;
  for (const std::string& root : roots) {
    const std::string r = LexicallyClean(root, style);
    const bool inside = SameText(target, r, style) ||
                        (target.size() > r.size() &&
                         SameText(std::string_view(target).substr(0, r.size()), r, style) &&
                         (IsSep(r.back(), style) || IsSep(target[r.size()], style)));
    if (inside && (!found || r.size() > bestLength)) {
      best = root;
      bestLength = r.size();
      found = true;
    }
  }
  return best;
}

}  // namespace ledgrix::platform
