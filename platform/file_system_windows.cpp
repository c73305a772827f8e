// The operating system's file system behind the FileSystem interface (Windows): wide paths
// throughout, flushes with FlushFileBuffers, the replace with MoveFileExW and write-through.
#include <windows.h>

#include <string>

#include "platform/file_system.h"
#include "platform/win32_path.h"

namespace ledgrix::platform {

std::wstring Win32Path(const Path& path) {
  std::wstring wide = path.native();
  for (wchar_t& c : wide) {
    if (c == L'/')
      c = L'\\';
  }
  // Below the limit of CreateDirectoryW (MAX_PATH less a file name of 8.3) no prefix is needed.
  if (wide.size() < MAX_PATH - 12 || wide.rfind(L"\\\\?\\", 0) == 0)
    return wide;
  const DWORD size = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (size == 0)
    return wide;
  std::wstring full(size, L'\0');
  const DWORD length = ::GetFullPathNameW(wide.c_str(), size, full.data(), nullptr);
  full.resize(length);
  if (full.rfind(L"\\\\", 0) == 0)
    return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

std::string Win32ErrorText(DWORD error) {
  wchar_t* buffer = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text = length > 0 && buffer ? std::wstring(buffer, length) : std::wstring();
  if (buffer)
    ::LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
    text.pop_back();
  if (text.empty())
    return "system error " + std::to_string(error);
  return Utf8FromPath(Path(text));
}

std::string Win32Describe(const char* what, const Path& path, DWORD error) {
  return std::string(what) + " " + Utf8FromPath(path) + ": " + Win32ErrorText(error);
}

namespace {

class WindowsInputFile final : public InputFile {
 public:
  explicit WindowsInputFile(HANDLE handle) : handle_(handle) {}
  ~WindowsInputFile() override { ::CloseHandle(handle_); }

  std::size_t Read(void* buffer, std::size_t size) override {
    auto* out = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < size) {
      const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 30));
      DWORD got = 0;
      if (!::ReadFile(handle_, out + done, chunk, &got, nullptr)) {
        failed_ = true;
        break;
      }
      if (got == 0)
        break;
      done += got;
    }
    return done;
  }

  bool Seek(std::uint64_t offset) override {
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(offset);
    return ::SetFilePointerEx(handle_, to, nullptr, FILE_BEGIN) != 0;
  }

  bool failed() const override { return failed_; }

 private:
  HANDLE handle_;
  bool failed_ = false;
};

class WindowsOutputFile final : public OutputFile {
 public:
  WindowsOutputFile(HANDLE handle, Path path) : handle_(handle), path_(std::move(path)) {}
  ~WindowsOutputFile() override {
    if (handle_ != INVALID_HANDLE_VALUE)
      ::CloseHandle(handle_);
  }

  IoResult Write(const void* data, std::size_t size) override {
    if (handle_ == INVALID_HANDLE_VALUE)
      return IoResult::Failure("write to closed file " + Utf8FromPath(path_));
    const auto* in = static_cast<const char*>(data);
    std::size_t done = 0;
    while (done < size) {
      const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 30));
      DWORD put = 0;
      if (!::WriteFile(handle_, in + done, chunk, &put, nullptr))
        return IoResult::Failure(Win32Describe("cannot write", path_, ::GetLastError()));
      if (put == 0)
        return IoResult::Failure(Win32Describe("cannot write", path_, ERROR_DISK_FULL));
      done += put;
    }
    return {};
  }

  IoResult Sync() override {
    if (handle_ == INVALID_HANDLE_VALUE)
      return IoResult::Failure("sync of closed file " + Utf8FromPath(path_));
    // A console or pipe has nothing to flush to disk.
    if (::GetFileType(handle_) != FILE_TYPE_DISK)
      return {};
    if (!::FlushFileBuffers(handle_))
      return IoResult::Failure(Win32Describe("cannot flush", path_, ::GetLastError()));
    return {};
  }

  IoResult Close() override {
    if (handle_ == INVALID_HANDLE_VALUE)
      return {};
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    if (!::CloseHandle(handle))
      return IoResult::Failure(Win32Describe("cannot close", path_, ::GetLastError()));
    return {};
  }

 private:
  HANDLE handle_;
  Path path_;
};

DWORD Attributes(const Path& path) {
  return ::GetFileAttributesW(Win32Path(path).c_str());
}

// Errors a rename meets while another program (a virus scanner, an indexer, a viewer) briefly
// holds the file: worth a few more tries.
bool MayPass(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
         error == ERROR_ACCESS_DENIED;
}

class WindowsFileSystem final : public FileSystem {
  static std::unique_ptr<OutputFile> Create(const Path& path, DWORD disposition,
                                            std::string* error) {
    const HANDLE handle =
        ::CreateFileW(Win32Path(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, disposition,
                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      if (error)
        *error = Win32Describe("cannot create", path, ::GetLastError());
      return nullptr;
    }
    return std::make_unique<WindowsOutputFile>(handle, path);
  }

 public:
  std::unique_ptr<InputFile> OpenRead(const Path& path) override {
    const HANDLE handle = ::CreateFileW(Win32Path(path).c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
      return nullptr;
    return std::make_unique<WindowsInputFile>(handle);
  }

  std::unique_ptr<OutputFile> OpenWrite(const Path& path, std::string* error) override {
    const HANDLE handle =
        ::CreateFileW(Win32Path(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      if (error)
        *error = Win32Describe("cannot create", path, ::GetLastError());
      return nullptr;
    }
    if (::GetFileType(handle) == FILE_TYPE_DISK && !::SetEndOfFile(handle)) {
      if (error)
        *error = Win32Describe("cannot empty", path, ::GetLastError());
      ::CloseHandle(handle);
      return nullptr;
    }
    return std::make_unique<WindowsOutputFile>(handle, path);
  }

  std::unique_ptr<OutputFile> CreateNew(const Path& path, std::string* error) override {
    return Create(path, CREATE_NEW, error);
  }

  IoResult Link(const Path& from, const Path& to) override {
    if (!::CreateHardLinkW(Win32Path(to).c_str(), Win32Path(from).c_str(), nullptr)) {
      return IoResult::Failure(Win32Describe("cannot link", to, ::GetLastError()) + " to " +
                               Utf8FromPath(from));
    }
    return {};
  }

  IoResult Rename(const Path& from, const Path& to) override {
    const std::wstring source = Win32Path(from);
    // The name as it is spelt on disk stays: "f1.dat" is replaced, never renamed "F1.DAT".
    const std::wstring target = Win32Path(NameOnDisk(to));
    DWORD error = 0;
    // About three quarters of a second in all, then the failure is reported.
    DWORD wait = 25;
    for (int attempt = 0; attempt < 6; ++attempt, wait *= 2) {
      if (::MoveFileExW(source.c_str(), target.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return {};
      error = ::GetLastError();
      const DWORD attributes = ::GetFileAttributesW(target.c_str());
      if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        return IoResult::Failure(Win32Describe("cannot replace", to, error) +
                                 " (the file is read-only)");
      }
      if (!MayPass(error) || attempt == 5)
        break;
      ::Sleep(wait);
    }
    std::string message = Win32Describe("cannot rename", from, error) + " to " + Utf8FromPath(to);
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
        error == ERROR_ACCESS_DENIED)
      message += " (another program may have the file open)";
    return IoResult::Failure(message);
  }

  IoResult Remove(const Path& path) override {
    if (!::DeleteFileW(Win32Path(path).c_str()))
      return IoResult::Failure(Win32Describe("cannot delete", path, ::GetLastError()));
    return {};
  }

  // MoveFileExW with write-through returns once the rename is on disk, and NTFS journals the
  // folder's other changes; there is no folder handle to flush as on POSIX.
  IoResult SyncDirectory(const Path& dir) override {
    const DWORD attributes = Attributes(dir.empty() ? Path(L".") : dir);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
      return IoResult::Failure(Win32Describe("cannot open folder", dir, ERROR_PATH_NOT_FOUND));
    return {};
  }

  // A new file takes the access rules its folder hands down, as every Windows program's files do.
  IoResult CopyPermissions(const Path&, const Path&) override { return {}; }

  bool Exists(const Path& path) override { return Attributes(path) != INVALID_FILE_ATTRIBUTES; }

  Path FinalPath(const Path& path) override {
    const DWORD attributes = Attributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
      return path;
    const HANDLE handle = ::CreateFileW(
        Win32Path(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
      return path;
    std::wstring final(MAX_PATH, L'\0');
    DWORD length =
        ::GetFinalPathNameByHandleW(handle, final.data(), static_cast<DWORD>(final.size()), 0);
    if (length >= final.size()) {
      final.resize(length + 1);
      length =
          ::GetFinalPathNameByHandleW(handle, final.data(), static_cast<DWORD>(final.size()), 0);
    }
    ::CloseHandle(handle);
    if (length == 0 || length >= final.size())
      return path;
    final.resize(length);
    if (final.rfind(L"\\\\?\\UNC\\", 0) == 0)
      return Path(L"\\\\" + final.substr(8));
    if (final.rfind(L"\\\\?\\", 0) == 0)
      return Path(final.substr(4));
    return Path(final);
  }

  Path NameOnDisk(const Path& path) override {
    const std::wstring name = path.filename().native();
    if (name.empty() || name.find_first_of(L"*?") != std::wstring::npos)
      return path;
    WIN32_FIND_DATAW found;
    const HANDLE find = ::FindFirstFileW(Win32Path(path).c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
      return path;
    ::FindClose(find);
    return path.parent_path() / found.cFileName;
  }

  bool IsSpecialFile(const Path& path) override {
    const HANDLE handle = ::CreateFileW(
        Win32Path(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
      return false;
    const bool special = ::GetFileType(handle) != FILE_TYPE_DISK;
    ::CloseHandle(handle);
    return special;
  }

  IoResult CheckReplaceable(const Path& path) override {
    const std::wstring wide = Win32Path(path);
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
      return IoResult::Failure("cannot replace " + Utf8FromPath(path) + ": the file is read-only");
    // The replace deletes the old file: a handle that does not share deletion forbids it.
    DWORD wait = 25;
    for (int attempt = 0; attempt < 6; ++attempt, wait *= 2) {
      const HANDLE handle = ::CreateFileW(
          wide.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
          OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
      if (handle != INVALID_HANDLE_VALUE) {
        ::CloseHandle(handle);
        return {};
      }
      const DWORD error = ::GetLastError();
      if (error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION)
        return {};  // anything else is for the operations themselves to report
      if (attempt < 5)
        ::Sleep(wait);
    }
    return IoResult::Failure("cannot replace " + Utf8FromPath(path) +
                             ": another program has the file open");
  }

  bool IsDirectory(const Path& path) override {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
  }

  IoResult CreateDirectory(const Path& dir) override {
    if (::CreateDirectoryW(Win32Path(dir).c_str(), nullptr))
      return {};
    const DWORD error = ::GetLastError();
    if (error == ERROR_ALREADY_EXISTS && IsDirectory(dir))
      return {};
    return IoResult::Failure(Win32Describe("cannot create folder", dir, error));
  }

  std::vector<DirEntry> List(const Path& dir) override {
    std::vector<DirEntry> entries;
    const Path pattern = (dir.empty() ? Path(L".") : dir) / L"*";
    WIN32_FIND_DATAW data;
    const HANDLE find =
        ::FindFirstFileExW(Win32Path(pattern).c_str(), FindExInfoBasic, &data,
                           FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE)
      return entries;
    do {
      const std::wstring name = data.cFileName;
      if (name == L"." || name == L"..")
        continue;
      entries.push_back({Utf8FromPath(Path(name)),
                         (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                         (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0});
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    return entries;
  }
};

}  // namespace

FileSystem& RealFileSystem() {
  static WindowsFileSystem fs;
  return fs;
}

}  // namespace ledgrix::platform
