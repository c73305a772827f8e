// File operations of the portfolio formats, built on the current FileSystem: names resolved
// without regard to case, whole-file reads, crash-safe replacement, copies and deletes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "platform/paths.h"

namespace ledgrix::platform {

// The path of name inside dir. An existing entry whose name equals name ignoring ASCII case
// wins (an exact match first), so "f3.dat" on disk is used for "F3.DAT"; otherwise dir / name,
// which is how a new file gets the format's upper-case name.
Path ResolveName(const Path& dir, std::string_view name);

// Resolves the last component of path inside its parent directory, as ResolveName does.
Path ResolvePath(const Path& path);

// Opens a file for reading after resolving its name; nullptr when it cannot be opened.
std::unique_ptr<InputFile> OpenResolved(const Path& path);

// Reads a whole file. False (and a reason in *error when given) when it cannot be read.
bool ReadWholeFile(const Path& path, std::vector<std::uint8_t>& bytes,
                   std::string* error = nullptr);

// Replaces target with content, never leaving a moment without a complete target:
// the content is written to a new file workName in target's directory (any entry of that name,
// a link too, is removed first: nothing is written through a link), flushed and closed; target's
// permissions are copied over; when backupName is not empty, the old target gets that second
// name (a hard link, or a flushed copy where the file system has none); then the work file is
// renamed over target and the directory synced. A target that is a symbolic link is replaced
// where it points (the work file beside the real file) and stays a link.
// Names are resolved without regard to case; the spelling already on disk is kept.
// On any failure the target is untouched, the work file is removed and the reason returned.
// When only the final directory sync fails the new file is in place: the result is ok but
// unconfirmed, and the change is noted for TakeUnconfirmedChanges.
IoResult ReplaceFile(const Path& target, std::string_view workName,
                     const std::vector<std::uint8_t>& content, std::string_view backupName = {});

// Writes content to path (created or replaced) through a work file in the same directory and an
// atomic rename, flushed and synced: a copy that is complete or absent, never partial.
IoResult WriteFileAtomically(const Path& path, std::string_view workName,
                             const std::vector<std::uint8_t>& content);

// Writes a file the user named (an export, a result list): a regular or new file is written
// as WriteFileAtomically does; a device or pipe (/dev/stdout, a FIFO) is written straight into,
// never replaced by a new file.
IoResult WriteOutputFile(const Path& path, std::string_view workName,
                         const std::vector<std::uint8_t>& content);

// Copies from to to, replacing to (crash-safe as WriteFileAtomically, work file to + ".~CP").
IoResult CopyFileReplacing(const Path& from, const Path& to);

// Deletes a file after resolving its name; a file that does not exist is no failure.
IoResult DeleteFileIfPresent(const Path& path);

// Moves a file to another name or directory. Within one directory this is a rename; across
// directories the destination is written completely and synced before the source is removed.
IoResult MoveFile(const Path& from, const Path& to);

// What the changes since the last call could not confirm on disk (their folder sync failed):
// each is in place, but a power loss could still undo it. Front ends show them after an
// operation; taking them clears the list.
std::vector<std::string> TakeUnconfirmedChanges();
// How many such notes wait; an operation compares it before and after a step.
std::size_t UnconfirmedChangeCount();

// While it lives, changes whose folder sync fails are not noted for TakeUnconfirmedChanges (their
// results still say unconfirmed): for the program's own files, such as the undo journal's, whose
// doubt says nothing about the portfolio the user changed.
class ScopedUnnotedChanges {
 public:
  ScopedUnnotedChanges();
  ~ScopedUnnotedChanges();
  ScopedUnnotedChanges(const ScopedUnnotedChanges&) = delete;
  ScopedUnnotedChanges& operator=(const ScopedUnnotedChanges&) = delete;
};

// True when the resolved path exists as a regular file.
bool FileExists(const Path& path);

// Told of each change that ReplaceFile, WriteFileAtomically, CopyFileReplacing, MoveFile and
// DeleteFileIfPresent are about to make to a file, before anything is written: the undo journal
// keeps the old bytes this way. Work files and backups written on the side are not announced.
// A failure stops the change (the file stays as it is) and is what the function returns.
class ChangeObserver {
 public:
  virtual ~ChangeObserver() = default;
  // path: the file as spelt on disk (or as it will be created); content: its bytes after the
  // change, nullptr when it is deleted. The observer is not told of its own writes.
  virtual IoResult BeforeChange(const Path& path, const std::vector<std::uint8_t>* content) = 0;
};

// Installs an observer for the lifetime of the guard.
class ScopedChangeObserver {
 public:
  explicit ScopedChangeObserver(ChangeObserver& observer);
  ~ScopedChangeObserver();
  ScopedChangeObserver(const ScopedChangeObserver&) = delete;
  ScopedChangeObserver& operator=(const ScopedChangeObserver&) = delete;

 private:
  ChangeObserver* previous_;
};

}  // namespace ledgrix::platform
