// An in-memory FileSystem that keeps what is durable apart from what is not yet, so that a test
// can cut the power before any operation and look at what a reboot would find: data written but
// not flushed, and creations, renames and deletions not yet made durable by a directory sync.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace ledgrix::testing {

using Bytes = std::vector<std::uint8_t>;

// What happens to file data that was written but not flushed when the power goes.
enum class CrashMode {
  kDrop,  // every unflushed byte is lost: files hold what their last Sync made durable
  kKeep,  // everything written reached the disk
  kTear,  // a mix: each sector comes from the old or the new data, the length from either
};

class MemoryFileSystem final : public platform::FileSystem {
 public:
  // A file's bytes: what the running program sees, and what its last Sync made durable.
  struct Node {
    Bytes data;
    Bytes synced;
  };
  using NodePtr = std::shared_ptr<Node>;

  // A creation, rename or deletion not yet made durable by a directory sync.
  struct NamespaceOp {
    enum Kind { kCreate, kRename, kRemove } kind = kCreate;
    std::string from;  // kRename: the old name
    std::string to;    // kCreate, kRename: the new name; kRemove: the name removed
    NodePtr node;      // kCreate, kRename: the file that gets the name
  };

  // Everything the power loss can see at one moment.
  struct State {
    std::set<std::string> dirs;
    std::map<std::string, NodePtr> live;     // names the running program sees
    std::map<std::string, NodePtr> durable;  // names that survive a power loss
    std::vector<NamespaceOp> pending;        // in the order they were made
    // A deep copy: nodes are duplicated, shared nodes stay shared.
    State Clone() const;
  };

  MemoryFileSystem() = default;
  explicit MemoryFileSystem(State state) : state_(std::move(state)) {}

  // Setting up (durable at once).
  void AddDirectory(const platform::Path& dir);  // with its parents
  void AddFile(const platform::Path& path, Bytes bytes);
  // Copies a directory tree of the real file system under memDir.
  void ImportTree(const std::filesystem::path& diskDir, const platform::Path& memDir);

  // What the running program sees.
  std::optional<Bytes> Contents(const platform::Path& path) const;

  // Called before every operation that changes anything (writes, syncs, renames, deletes).
  void SetBeforeChange(std::function<void()> hook) { beforeChange_ = std::move(hook); }

  const State& state() const { return state_; }
  State Snapshot() const { return state_.Clone(); }

  // What a reboot finds after a power loss in state s: the durable names plus the first
  // namespacePrefix pending namespace operations (a journal commits them in order), with the
  // unflushed data of every file dropped, kept or torn (tearSeed picks the sectors).
  static State Crash(const State& s, std::size_t namespacePrefix, CrashMode mode,
                     std::uint32_t tearSeed = 0);

  // Normalised key of a path ("/a/b", no trailing separator).
  static std::string Key(const platform::Path& path);

  std::unique_ptr<platform::InputFile> OpenRead(const platform::Path& path) override;
  std::unique_ptr<platform::OutputFile> OpenWrite(const platform::Path& path,
                                                  std::string* error) override;
  std::unique_ptr<platform::OutputFile> CreateNew(const platform::Path& path,
                                                  std::string* error) override;
  platform::IoResult Link(const platform::Path& from, const platform::Path& to) override;
  platform::IoResult Rename(const platform::Path& from, const platform::Path& to) override;
  platform::IoResult Remove(const platform::Path& path) override;
  platform::IoResult SyncDirectory(const platform::Path& dir) override;
  platform::IoResult CopyPermissions(const platform::Path& from, const platform::Path& to) override;
  bool Exists(const platform::Path& path) override;
  bool IsDirectory(const platform::Path& path) override;
  std::vector<platform::DirEntry> List(const platform::Path& dir) override;
  // Durable at once: directories are not part of what a power loss can undo here.
  platform::IoResult CreateDirectory(const platform::Path& dir) override;

  // Used by the output files.
  void BeforeChange();

 private:
  static std::string Parent(const std::string& key);

  State state_;
  std::function<void()> beforeChange_;
};

}  // namespace ledgrix::testing
