// The file layer: every read and write of a portfolio goes through FileSystem, so that tests
// can count, fail or simulate the loss of any single operation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
// <windows.h> makes CreateDirectory, ReplaceFile and MoveFile macros for its own functions;
// wherever the file layer is used, ours are the ones meant (and a later <windows.h> is not read
// again).
#include <windows.h>
#undef CreateDirectory
#undef ReplaceFile
#undef MoveFile
#endif

namespace ledgrix::platform {

using Path = std::filesystem::path;

// Outcome of a file operation: success, or a message that says what failed and why. A change
// that is in place but whose last step, the one that makes it survive a power loss, failed is a
// success that is "unconfirmed": what depends on it goes on, and the message says what failed.
class [[nodiscard]] IoResult {
 public:
  IoResult() = default;
  static IoResult Failure(std::string message) { return IoResult(kFailed, std::move(message)); }
  static IoResult Unconfirmed(std::string message) {
    return IoResult(kUnconfirmed, std::move(message));
  }

  bool ok() const { return state_ != kFailed; }
  bool unconfirmed() const { return state_ == kUnconfirmed; }
  explicit operator bool() const { return ok(); }
  const std::string& message() const { return message_; }

 private:
  enum State { kDone, kUnconfirmed, kFailed };
  IoResult(State state, std::string message) : state_(state), message_(std::move(message)) {}
  State state_ = kDone;
  std::string message_;
};

// A file opened for reading raw bytes.
class InputFile {
 public:
  virtual ~InputFile() = default;
  // Reads up to size bytes; returns how many were read (0 at the end or on error).
  virtual std::size_t Read(void* buffer, std::size_t size) = 0;
  // Moves to an absolute byte offset; false when that is not possible.
  virtual bool Seek(std::uint64_t offset) = 0;
  // Reads until size bytes are in or the file ends; returns how many were read.
  std::size_t ReadUpTo(void* buffer, std::size_t size) {
    auto* out = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < size) {
      const std::size_t got = Read(out + done, size - done);
      if (got == 0)
        break;
      done += got;
    }
    return done;
  }
  // Reads exactly size bytes or reports false.
  bool ReadExact(void* buffer, std::size_t size) { return ReadUpTo(buffer, size) == size; }
  // True once a read failed for another reason than the end of the file, so that a reader of
  // a whole file can tell a damaged read from a short file.
  virtual bool failed() const { return false; }
};

// A file opened for writing raw bytes. Nothing is durable before Sync.
class OutputFile {
 public:
  virtual ~OutputFile() = default;
  virtual IoResult Write(const void* data, std::size_t size) = 0;
  // Flushes the data to stable storage (fsync).
  virtual IoResult Sync() = 0;
  // Closes the file; further writes fail. Destruction closes without reporting.
  virtual IoResult Close() = 0;
};

struct DirEntry {
  std::string name;
  bool isDirectory = false;
  bool isSymlink = false;
};

// Every primitive operation of the file layer. Implementations: the real one, a counting one
// that fails its k-th call (tests), and an in-memory one that can simulate power loss.
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // nullptr when the file cannot be opened.
  virtual std::unique_ptr<InputFile> OpenRead(const Path& path) = 0;
  // Opens the file for writing, creating or emptying it (following a link); nullptr (with a
  // reason in *error) when that fails. Only for files the user named, such as a device.
  virtual std::unique_ptr<OutputFile> OpenWrite(const Path& path, std::string* error) = 0;
  // Creates a new, empty file; fails when any entry of that name exists, a link included, so
  // that nothing is ever written through one. nullptr (with a reason in *error) on failure.
  virtual std::unique_ptr<OutputFile> CreateNew(const Path& path, std::string* error) = 0;
  // Gives the file at from a second name, to (a hard link); fails where the file system has no
  // such links, across volumes, or when to exists.
  virtual IoResult Link(const Path& from, const Path& to) = 0;
  // Renames from over to, replacing to in one atomic step.
  virtual IoResult Rename(const Path& from, const Path& to) = 0;
  // Removes a file's name; a link is removed, never what it points to.
  virtual IoResult Remove(const Path& path) = 0;
  // Makes creations, renames and deletions in the directory durable.
  virtual IoResult SyncDirectory(const Path& dir) = 0;
  // Copies the permission bits of from onto to (best effort where from does not exist).
  virtual IoResult CopyPermissions(const Path& from, const Path& to) = 0;

  // Whether an entry of that name exists (a dangling link too).
  virtual bool Exists(const Path& path) = 0;
  // Where the file a path names really lies once every symbolic link or other reparse point at
  // its end is followed; path itself when it is none.
  virtual Path FinalPath(const Path& path) { return path; }
  // An existing path with its last name spelt as on disk, where the system finds names in any
  // case (Windows); path itself elsewhere.
  virtual Path NameOnDisk(const Path& path) { return path; }
  virtual bool IsDirectory(const Path& path) = 0;
  // A device, pipe or socket: never replaced by renaming a new file over it.
  virtual bool IsSpecialFile(const Path& /*path*/) { return false; }
  // Whether an existing file may be replaced now; where the system says no (Windows: a read-only
  // file, or one another program holds open), the reason, before anything is written.
  virtual IoResult CheckReplaceable(const Path& /*path*/) { return {}; }
  // Entries of a directory, without "." and "..". Empty when it cannot be read.
  virtual std::vector<DirEntry> List(const Path& dir) = 0;
  // Creates one directory whose parent exists; an existing directory is no failure. Durable once
  // the parent is synced. The operating system's unless overridden.
  virtual IoResult CreateDirectory(const Path& dir) {
    std::error_code ec;
    if (!std::filesystem::create_directory(dir, ec) && ec)
      return IoResult::Failure("cannot create " + dir.string() + ": " + ec.message());
    return {};
  }
};

// The operating system's file system.
FileSystem& RealFileSystem();

// The file system every layer uses; the real one unless a test installed another.
FileSystem& CurrentFileSystem();

// Installs a file system for the lifetime of the guard (tests, fuzzers, the crash simulator).
class ScopedFileSystem {
 public:
  explicit ScopedFileSystem(FileSystem& fs);
  ~ScopedFileSystem();
  ScopedFileSystem(const ScopedFileSystem&) = delete;
  ScopedFileSystem& operator=(const ScopedFileSystem&) = delete;

 private:
  FileSystem* previous_;
};

}  // namespace ledgrix::platform
