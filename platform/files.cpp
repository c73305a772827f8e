// Case-insensitive names and crash-safe replacement over the current FileSystem.
#include "platform/files.h"

#include <algorithm>
#include <array>
#include <utility>

namespace ledgrix::platform {
namespace {

char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return LowerAscii(x) == LowerAscii(y);
         });
}

// Writes content to path, flushes and closes it; the file is removed again on failure.
IoResult WriteDurably(FileSystem& fs, const Path& path, const std::vector<std::uint8_t>& content,
                      const Path& permissionsFrom) {
  std::string error;
  std::unique_ptr<OutputFile> out = fs.OpenWrite(path, &error);
  if (!out)
    return IoResult::Failure(error.empty() ? "cannot create " + path.string() : error);
  IoResult result = content.empty() ? IoResult() : out->Write(content.data(), content.size());
  if (result && !permissionsFrom.empty() && fs.Exists(permissionsFrom)) {
    result = fs.CopyPermissions(permissionsFrom, path);
  }
  if (result)
    result = out->Sync();
  IoResult closed = out->Close();
  if (result)
    result = closed;
  if (!result)
    (void)fs.Remove(path);
  return result;
}

ChangeObserver* g_observer = nullptr;

// Tells the observer of a change; it is suspended meanwhile, since it writes its own files
// through these functions.
IoResult Announce(const Path& path, const std::vector<std::uint8_t>* content) {
  if (g_observer == nullptr)
    return {};
  struct Suspend {
    ChangeObserver* observer = std::exchange(g_observer, nullptr);
    ~Suspend() { g_observer = observer; }
  } suspended;
  return suspended.observer->BeforeChange(path, content);
}

}  // namespace

ScopedChangeObserver::ScopedChangeObserver(ChangeObserver& observer)
    : previous_(std::exchange(g_observer, &observer)) {}

ScopedChangeObserver::~ScopedChangeObserver() {
  g_observer = previous_;
}

Path ResolveName(const Path& dir, std::string_view name) {
  FileSystem& fs = CurrentFileSystem();
  Path exact = dir / std::string(name);
  if (fs.Exists(exact))
    return exact;
  for (const DirEntry& entry : fs.List(dir)) {
    if (EqualsIgnoringCase(entry.name, name))
      return dir / entry.name;
  }
  return exact;
}

Path ResolvePath(const Path& path) {
  return ResolveName(path.parent_path(), path.filename().string());
}

std::unique_ptr<InputFile> OpenResolved(const Path& path) {
  return CurrentFileSystem().OpenRead(ResolvePath(path));
}

bool ReadWholeFile(const Path& path, std::vector<std::uint8_t>& bytes, std::string* error) {
  bytes.clear();
  std::unique_ptr<InputFile> in = OpenResolved(path);
  if (!in) {
    if (error)
      *error = "cannot open " + path.string();
    return false;
  }
  std::array<std::uint8_t, 64 * 1024> chunk{};
  for (;;) {
    std::size_t n = in->Read(chunk.data(), chunk.size());
    if (n == 0)
      break;
    bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(n));
  }
  // A failed read is no end of file: a partial copy must never pass for the whole file.
  if (in->failed()) {
    bytes.clear();
    if (error)
      *error = "cannot read " + path.string();
    return false;
  }
  return true;
}

IoResult ReplaceFile(const Path& target, std::string_view workName,
                     const std::vector<std::uint8_t>& content, std::string_view backupName) {
  FileSystem& fs = CurrentFileSystem();
  const Path dir = target.parent_path();
  const Path resolvedTarget = ResolvePath(target);
  const Path work = ResolveName(dir, workName);
  const bool targetExists = fs.Exists(resolvedTarget);
  // Renaming over a device would put a plain file in its place.
  if (targetExists && fs.IsSpecialFile(resolvedTarget)) {
    return IoResult::Failure(resolvedTarget.string() + " is not a regular file");
  }
  if (IoResult announced = Announce(resolvedTarget, &content); !announced)
    return announced;

  if (IoResult written = WriteDurably(fs, work, content, targetExists ? resolvedTarget : Path());
      !written) {
    return written;
  }

  if (!backupName.empty() && targetExists) {
    std::vector<std::uint8_t> previous;
    std::string error;
    IoResult backedUp;
    if (!ReadWholeFile(resolvedTarget, previous, &error)) {
      backedUp = IoResult::Failure(error);
    } else {
      backedUp = WriteDurably(fs, ResolveName(dir, backupName), previous, resolvedTarget);
    }
    if (!backedUp) {
      (void)fs.Remove(work);
      return backedUp;
    }
  }

  if (IoResult renamed = fs.Rename(work, resolvedTarget); !renamed) {
    (void)fs.Remove(work);
    return renamed;
  }
  return fs.SyncDirectory(dir);
}

IoResult WriteFileAtomically(const Path& path, std::string_view workName,
                             const std::vector<std::uint8_t>& content) {
  return ReplaceFile(path, workName, content);
}

IoResult WriteOutputFile(const Path& path, std::string_view workName,
                         const std::vector<std::uint8_t>& content) {
  FileSystem& fs = CurrentFileSystem();
  const Path resolved = ResolvePath(path);
  if (!fs.Exists(resolved) || !fs.IsSpecialFile(resolved)) {
    return WriteFileAtomically(path, workName, content);
  }
  std::string error;
  std::unique_ptr<OutputFile> out = fs.OpenWrite(resolved, &error);
  if (!out)
    return IoResult::Failure(error.empty() ? "cannot open " + resolved.string() : error);
  IoResult result = content.empty() ? IoResult() : out->Write(content.data(), content.size());
  IoResult closed = out->Close();
  return result ? closed : result;
}

IoResult CopyFileReplacing(const Path& from, const Path& to) {
  std::vector<std::uint8_t> bytes;
  std::string error;
  if (!ReadWholeFile(from, bytes, &error))
    return IoResult::Failure(error);
  return WriteFileAtomically(to, to.filename().string() + ".~CP", bytes);
}

IoResult DeleteFileIfPresent(const Path& path) {
  FileSystem& fs = CurrentFileSystem();
  const Path resolved = ResolvePath(path);
  if (!fs.Exists(resolved))
    return {};
  if (IoResult announced = Announce(resolved, nullptr); !announced)
    return announced;
  if (IoResult removed = fs.Remove(resolved); !removed)
    return removed;
  return fs.SyncDirectory(resolved.parent_path());
}

IoResult MoveFile(const Path& from, const Path& to) {
  FileSystem& fs = CurrentFileSystem();
  const Path source = ResolvePath(from);
  if (!fs.Exists(source))
    return IoResult::Failure("cannot find " + from.string());
  const Path target = ResolvePath(to);
  if (source.parent_path() == target.parent_path()) {
    if (g_observer != nullptr && source != target) {
      // A rename gives target the source's bytes.
      std::vector<std::uint8_t> bytes;
      std::string error;
      if (!ReadWholeFile(source, bytes, &error))
        return IoResult::Failure(error);
      if (IoResult announced = Announce(target, &bytes); !announced)
        return announced;
      if (IoResult announced = Announce(source, nullptr); !announced)
        return announced;
    }
    if (IoResult renamed = fs.Rename(source, target); !renamed)
      return renamed;
    return fs.SyncDirectory(target.parent_path());
  }
  // Across folders the copy is complete and durable before the source goes.
  if (IoResult copied = CopyFileReplacing(source, target); !copied)
    return copied;
  if (IoResult announced = Announce(source, nullptr); !announced)
    return announced;
  if (IoResult removed = fs.Remove(source); !removed)
    return removed;
  return fs.SyncDirectory(source.parent_path());
}

bool FileExists(const Path& path) {
  FileSystem& fs = CurrentFileSystem();
  const Path resolved = ResolvePath(path);
  return fs.Exists(resolved) && !fs.IsDirectory(resolved);
}

}  // namespace ledgrix::platform
