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

std::vector<std::string> g_unconfirmed;
int g_unnoted = 0;

// A change in place whose folder could not be synced: reported, and noted for the front end.
IoResult Unconfirmed(const IoResult& synced) {
  if (g_unnoted == 0)
    g_unconfirmed.push_back(synced.message());
  return IoResult::Unconfirmed(synced.message());
}

IoResult SyncAfterChange(FileSystem& fs, const Path& dir) {
  IoResult synced = fs.SyncDirectory(dir);
  return synced ? synced : Unconfirmed(synced);
}

// Removes whatever entry has the name of a work or backup file, a link included (never what it
// points to), so that the file is then created afresh.
IoResult RemoveStale(FileSystem& fs, const Path& path) {
  if (!fs.Exists(path))
    return {};
  return fs.Remove(path);
}

// Writes content to a new file at path (a stale entry of that name removed first), flushes and
// closes it; the file is removed again on failure.
IoResult WriteNewFile(FileSystem& fs, const Path& path, const std::vector<std::uint8_t>& content,
                      const Path& permissionsFrom) {
  if (IoResult removed = RemoveStale(fs, path); !removed)
    return removed;
  std::string error;
  std::unique_ptr<OutputFile> out = fs.CreateNew(path, &error);
  if (!out)
    return IoResult::Failure(error.empty() ? "cannot create " + Utf8FromPath(path) : error);
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

// The backup: a second name for the old file where the file system allows it (nothing to write
// or flush), else a flushed copy.
IoResult MakeBackup(FileSystem& fs, const Path& source, const Path& backup) {
  if (IoResult removed = RemoveStale(fs, backup); !removed)
    return removed;
  if (fs.Link(source, backup))
    return {};
  std::vector<std::uint8_t> previous;
  std::string error;
  if (!ReadWholeFile(source, previous, &error))
    return IoResult::Failure(error);
  return WriteNewFile(fs, backup, previous, source);
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
  Path exact = dir / PathFromUtf8(name);
  if (fs.Exists(exact))
    return fs.NameOnDisk(exact);
  for (const DirEntry& entry : fs.List(dir)) {
    if (EqualsIgnoringCase(entry.name, name))
      return dir / PathFromUtf8(entry.name);
  }
  return exact;
}

Path ResolvePath(const Path& path) {
  return ResolveName(path.parent_path(), Utf8FromPath(path.filename()));
}

std::unique_ptr<InputFile> OpenResolved(const Path& path) {
  return CurrentFileSystem().OpenRead(ResolvePath(path));
}

bool ReadWholeFile(const Path& path, std::vector<std::uint8_t>& bytes, std::string* error) {
  bytes.clear();
  std::unique_ptr<InputFile> in = OpenResolved(path);
  if (!in) {
    if (error)
      *error = "cannot open " + Utf8FromPath(path);
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
      *error = "cannot read " + Utf8FromPath(path);
    return false;
  }
  return true;
}

IoResult ReplaceFile(const Path& target, std::string_view workName,
                     const std::vector<std::uint8_t>& content, std::string_view backupName) {
  FileSystem& fs = CurrentFileSystem();
  const Path dir = target.parent_path();
  const Path resolvedTarget = ResolvePath(target);
  // A target that is a link is replaced where it points, so that it stays a link.
  const Path place = fs.FinalPath(resolvedTarget);
  const Path placeDir = place.parent_path();
  const bool targetExists = fs.Exists(place);
  // Renaming over a device would put a plain file in its place.
  if (targetExists && fs.IsSpecialFile(place))
    return IoResult::Failure(Utf8FromPath(place) + " is not a regular file");
  if (targetExists) {
    if (IoResult replaceable = fs.CheckReplaceable(place); !replaceable)
      return replaceable;
  }
  if (IoResult announced = Announce(resolvedTarget, &content); !announced)
    return announced;

  const Path work = ResolveName(placeDir, workName);
  if (IoResult written = WriteNewFile(fs, work, content, targetExists ? place : Path()); !written) {
    return written;
  }
  if (!backupName.empty() && targetExists) {
    if (IoResult backedUp = MakeBackup(fs, place, ResolveName(dir, backupName)); !backedUp) {
      (void)fs.Remove(work);
      return backedUp;
    }
  }
  if (IoResult renamed = fs.Rename(work, place); !renamed) {
    (void)fs.Remove(work);
    return renamed;
  }
  IoResult synced = SyncAfterChange(fs, placeDir);
  if (synced && !backupName.empty() && placeDir != dir)
    synced = SyncAfterChange(fs, dir);
  return synced;
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
    return IoResult::Failure(error.empty() ? "cannot open " + Utf8FromPath(resolved) : error);
  IoResult result = content.empty() ? IoResult() : out->Write(content.data(), content.size());
  IoResult closed = out->Close();
  return result ? closed : result;
}

IoResult CopyFileReplacing(const Path& from, const Path& to) {
  std::vector<std::uint8_t> bytes;
  std::string error;
  if (!ReadWholeFile(from, bytes, &error))
    return IoResult::Failure(error);
  return WriteFileAtomically(to, Utf8FromPath(to.filename()) + ".~CP", bytes);
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
  return SyncAfterChange(fs, resolved.parent_path());
}

IoResult MoveFile(const Path& from, const Path& to) {
  FileSystem& fs = CurrentFileSystem();
  const Path source = ResolvePath(from);
  if (!fs.Exists(source))
    return IoResult::Failure("cannot find " + Utf8FromPath(from));
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
    return SyncAfterChange(fs, target.parent_path());
  }
  // Across folders the copy is complete and durable before the source goes.
  if (IoResult copied = CopyFileReplacing(source, target); !copied || copied.unconfirmed()) {
    return copied ? IoResult::Failure(Utf8FromPath(target) + " is written, but " +
                                      copied.message() + "; " + Utf8FromPath(source) + " is kept")
                  : copied;
  }
  if (IoResult announced = Announce(source, nullptr); !announced)
    return announced;
  if (IoResult removed = fs.Remove(source); !removed)
    return removed;
  // The copy is in place whatever the source folder's sync says.
  return SyncAfterChange(fs, source.parent_path());
}

std::vector<std::string> TakeUnconfirmedChanges() {
  std::vector<std::string> taken;
  taken.swap(g_unconfirmed);
  return taken;
}

std::size_t UnconfirmedChangeCount() {
  return g_unconfirmed.size();
}

ScopedUnnotedChanges::ScopedUnnotedChanges() {
  ++g_unnoted;
}

ScopedUnnotedChanges::~ScopedUnnotedChanges() {
  --g_unnoted;
}

bool FileExists(const Path& path) {
  FileSystem& fs = CurrentFileSystem();
  const Path resolved = ResolvePath(path);
  return fs.Exists(resolved) && !fs.IsDirectory(resolved);
}

}  // namespace ledgrix::platform
