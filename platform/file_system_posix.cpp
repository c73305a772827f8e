// The operating system's file system behind the FileSystem interface (POSIX).
#include "platform/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace ledgrix::platform {
namespace {

std::string Describe(const char* what, const Path& path, int error) {
  return std::string(what) + " " + path.string() + ": " + std::strerror(error);
}

class PosixInputFile final : public InputFile {
 public:
  explicit PosixInputFile(int fd) : fd_(fd) {}
  ~PosixInputFile() override { ::close(fd_); }

  std::size_t Read(void* buffer, std::size_t size) override {
    auto* out = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < size) {
      ssize_t n = ::read(fd_, out + done, size - done);
      if (n < 0 && errno == EINTR)
        continue;
      if (n < 0)
        failed_ = true;
      if (n <= 0)
        break;
      done += static_cast<std::size_t>(n);
    }
    return done;
  }

  bool Seek(std::uint64_t offset) override {
    return ::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) != static_cast<off_t>(-1);
  }

  bool failed() const override { return failed_; }

 private:
  int fd_;
  bool failed_ = false;
};

class PosixOutputFile final : public OutputFile {
 public:
  PosixOutputFile(int fd, Path path) : fd_(fd), path_(std::move(path)) {}
  ~PosixOutputFile() override {
    if (fd_ >= 0)
      ::close(fd_);
  }

  IoResult Write(const void* data, std::size_t size) override {
    if (fd_ < 0)
      return IoResult::Failure("write to closed file " + path_.string());
    const auto* in = static_cast<const char*>(data);
    std::size_t done = 0;
    while (done < size) {
      ssize_t n = ::write(fd_, in + done, size - done);
      if (n < 0 && errno == EINTR)
        continue;
      if (n <= 0)
        return IoResult::Failure(Describe("cannot write", path_, n < 0 ? errno : EIO));
      done += static_cast<std::size_t>(n);
    }
    return {};
  }

  IoResult Sync() override {
    if (fd_ < 0)
      return IoResult::Failure("sync of closed file " + path_.string());
#if defined(__APPLE__)
    if (::fcntl(fd_, F_FULLFSYNC) == 0)
      return {};
#endif
    if (::fsync(fd_) != 0)
      return IoResult::Failure(Describe("cannot flush", path_, errno));
    return {};
  }

  IoResult Close() override {
    if (fd_ < 0)
      return {};
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0)
      return IoResult::Failure(Describe("cannot close", path_, errno));
    return {};
  }

 private:
  int fd_;
  Path path_;
};

class PosixFileSystem final : public FileSystem {
  static std::unique_ptr<OutputFile> Open(const Path& path, int flags, std::string* error) {
    const int fd = ::open(path.c_str(), flags, 0644);
    if (fd < 0) {
      if (error)
        *error = Describe("cannot create", path, errno);
      return nullptr;
    }
    return std::make_unique<PosixOutputFile>(fd, path);
  }

 public:
  std::unique_ptr<InputFile> OpenRead(const Path& path) override {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
      return nullptr;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
      ::close(fd);
      return nullptr;
    }
    return std::make_unique<PosixInputFile>(fd);
  }

  std::unique_ptr<OutputFile> OpenWrite(const Path& path, std::string* error) override {
    return Open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, error);
  }

  std::unique_ptr<OutputFile> CreateNew(const Path& path, std::string* error) override {
    return Open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, error);
  }

  IoResult Link(const Path& from, const Path& to) override {
    if (::link(from.c_str(), to.c_str()) != 0)
      return IoResult::Failure(Describe("cannot link", to, errno) + " to " + from.string());
    return {};
  }

  IoResult Rename(const Path& from, const Path& to) override {
    if (std::rename(from.c_str(), to.c_str()) != 0) {
      return IoResult::Failure(Describe("cannot rename", from, errno) + " to " + to.string());
    }
    return {};
  }

  IoResult Remove(const Path& path) override {
    if (::unlink(path.c_str()) != 0)
      return IoResult::Failure(Describe("cannot delete", path, errno));
    return {};
  }

  IoResult SyncDirectory(const Path& dir) override {
    Path target = dir.empty() ? Path(".") : dir;
    int fd = ::open(target.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
      return IoResult::Failure(Describe("cannot open folder", target, errno));
    int rc = ::fsync(fd);
    int err = errno;
    ::close(fd);
    // Some file systems cannot sync a directory at all; that is no loss of data.
    if (rc != 0 && err != EINVAL && err != ENOTSUP) {
      return IoResult::Failure(Describe("cannot flush folder", target, err));
    }
    return {};
  }

  IoResult CopyPermissions(const Path& from, const Path& to) override {
    struct stat st {};
    if (::stat(from.c_str(), &st) != 0)
      return {};
    if (::chmod(to.c_str(), st.st_mode & 07777) != 0) {
      return IoResult::Failure(Describe("cannot set permissions of", to, errno));
    }
    return {};
  }

  bool Exists(const Path& path) override {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
  }

  Path FinalPath(const Path& path) override {
    Path now = path;
    // As many steps as the system itself follows before it gives up (ELOOP).
    for (int step = 0; step < 40; ++step) {
      struct stat st {};
      if (::lstat(now.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return now;
      std::string target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
      const ssize_t n = ::readlink(now.c_str(), target.data(), target.size());
      if (n < 0 || static_cast<std::size_t>(n) >= target.size())
        return now;
      target.resize(static_cast<std::size_t>(n));
      now = (now.parent_path() / target).lexically_normal();
    }
    return now;
  }

  bool IsSpecialFile(const Path& path) override {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
  }

  bool IsDirectory(const Path& path) override {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  }

  std::vector<DirEntry> List(const Path& dir) override {
    std::vector<DirEntry> entries;
    Path target = dir.empty() ? Path(".") : dir;
    DIR* d = ::opendir(target.c_str());
    if (!d)
      return entries;
    while (dirent* e = ::readdir(d)) {
      std::string_view name = e->d_name;
      if (name == "." || name == "..")
        continue;
      DirEntry entry{std::string(name), false, false};
      unsigned char type = e->d_type;
      if (type == DT_UNKNOWN) {
        struct stat st {};
        if (::lstat((target / entry.name).c_str(), &st) == 0) {
          entry.isDirectory = S_ISDIR(st.st_mode);
          entry.isSymlink = S_ISLNK(st.st_mode);
        }
      } else {
        entry.isDirectory = type == DT_DIR;
        entry.isSymlink = type == DT_LNK;
      }
      entries.push_back(std::move(entry));
    }
    ::closedir(d);
    return entries;
  }
};

}  // namespace

FileSystem& RealFileSystem() {
  static PosixFileSystem fs;
  return fs;
}

}  // namespace ledgrix::platform
