// The walk's listing on Windows: each directory is opened without following a reparse point
// (junction, symbolic link, mounted folder) to check where it lies, then enumerated with
// FindFirstFileExW; entries that are reparse points are never children.
#include <windows.h>

#include "platform/walk_listing.h"
#include "platform/win32_path.h"

namespace ledgrix::platform::walk {
namespace {

// The directory's own attributes and volume, read through a handle; a reparse point below the
// root is opened as itself, not followed.
bool Examine(const std::wstring& dir, bool follow, BY_HANDLE_FILE_INFORMATION& info, DWORD& error) {
  const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (follow ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
  const HANDLE handle = ::CreateFileW(dir.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, flags, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    error = ::GetLastError();
    return false;
  }
  const bool ok = ::GetFileInformationByHandle(handle, &info) != 0;
  error = ok ? 0 : ::GetLastError();
  ::CloseHandle(handle);
  return ok;
}

// A MASTER entry counts when what it names exists and is not a directory.
bool NamesAFile(const std::wstring& path) {
  BY_HANDLE_FILE_INFORMATION info;
  DWORD error = 0;
  return Examine(path, true, info, error) && !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

bool RootVolume(const std::string& root, VolumeId& volume, std::string& reason) {
  BY_HANDLE_FILE_INFORMATION info;
  DWORD error = 0;
  if (!Examine(Win32Path(PathFromUtf8(root)), true, info, error)) {
    reason = Win32ErrorText(error);
    return false;
  }
  if (!(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    reason = Win32ErrorText(ERROR_DIRECTORY);
    return false;
  }
  volume = info.dwVolumeSerialNumber;
  return true;
}

void ListDirectory(const std::string& dir, bool isRoot, VolumeId volume, Listing& out) {
  const Path dirPath = PathFromUtf8(dir);
  BY_HANDLE_FILE_INFORMATION info;
  DWORD error = 0;
  if (!Examine(Win32Path(dirPath), isRoot, info, error)) {
    out.failure = Win32ErrorText(error);
    return;
  }
  // Listed as a directory, found to be a reparse point now: it was replaced meanwhile.
  if (!isRoot && (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
    return;
  if (info.dwVolumeSerialNumber != volume) {
    out.otherVolume = true;
    return;
  }
  WIN32_FIND_DATAW data;
  const HANDLE find = ::FindFirstFileExW(Win32Path(dirPath / L"*").c_str(), FindExInfoBasic, &data,
                                         FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) {
    out.failure = Win32ErrorText(::GetLastError());
    return;
  }
  do {
    const DWORD attributes = data.dwFileAttributes;
    const bool isDirectory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const bool isReparse = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    const std::string name = Utf8FromPath(Path(data.cFileName));
    if (!out.hasMaster && IsMasterName(name.c_str()) && !isDirectory)
      out.hasMaster = !isReparse || NamesAFile(Win32Path(dirPath / data.cFileName));
    if (name.empty() || name[0] == '.' || !isDirectory || isReparse)
      continue;
    out.childNames.push_back(name);
  } while (::FindNextFileW(find, &data));
  const DWORD ended = ::GetLastError();
  // What was listed before an error is kept.
  if (ended != ERROR_NO_MORE_FILES)
    out.failure = Win32ErrorText(ended);
  ::FindClose(find);
}

}  // namespace ledgrix::platform::walk
