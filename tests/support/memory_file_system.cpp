#include "tests/support/memory_file_system.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

namespace ledgrix::testing {

using platform::DirEntry;
using platform::IoResult;
using platform::Path;

namespace {

class MemoryInputFile final : public platform::InputFile {
 public:
  explicit MemoryInputFile(MemoryFileSystem::NodePtr node) : node_(std::move(node)) {}

  std::size_t Read(void* buffer, std::size_t size) override {
    const Bytes& data = node_->data;
    if (position_ >= data.size())
      return 0;
    const std::size_t n = std::min<std::size_t>(size, data.size() - position_);
    std::memcpy(buffer, data.data() + position_, n);
    position_ += n;
    return n;
  }
  bool Seek(std::uint64_t offset) override {
    position_ = offset;
    return true;
  }

 private:
  MemoryFileSystem::NodePtr node_;
  std::uint64_t position_ = 0;
};

class MemoryOutputFile final : public platform::OutputFile {
 public:
  MemoryOutputFile(MemoryFileSystem& fs, MemoryFileSystem::NodePtr node)
      : fs_(fs), node_(std::move(node)) {}

  IoResult Write(const void* data, std::size_t size) override {
    if (closed_)
      return IoResult::Failure("write after close");
    fs_.BeforeChange();
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    node_->data.insert(node_->data.end(), bytes, bytes + size);
    return {};
  }
  IoResult Sync() override {
    if (closed_)
      return IoResult::Failure("sync after close");
    fs_.BeforeChange();
    node_->synced = node_->data;
    return {};
  }
  IoResult Close() override {
    if (closed_)
      return IoResult::Failure("closed twice");
    closed_ = true;
    return {};
  }

 private:
  MemoryFileSystem& fs_;
  MemoryFileSystem::NodePtr node_;
  bool closed_ = false;
};

// A small, fixed mixing function: tears are reproducible from their seed.
std::uint64_t Mix(std::uint64_t x) {
  x += 0x9e3779b97f4a7c15ULL;
  x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
  x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
  return x ^ (x >> 31);
}

constexpr std::size_t kSectorSize = 16;

Bytes Tear(const Bytes& old, const Bytes& now, std::uint64_t seed) {
  const std::size_t length = (Mix(seed) & 1) ? now.size() : old.size();
  Bytes out(length, 0);
  for (std::size_t start = 0; start < length; start += kSectorSize) {
    const Bytes& from = (Mix(seed + 1 + start / kSectorSize) & 1) ? now : old;
    for (std::size_t i = start; i < std::min(length, start + kSectorSize); ++i) {
      if (i < from.size())
        out[i] = from[i];
    }
  }
  return out;
}

void Apply(const MemoryFileSystem::NamespaceOp& op,
           std::map<std::string, MemoryFileSystem::NodePtr>& names) {
  switch (op.kind) {
    case MemoryFileSystem::NamespaceOp::kCreate:
      names[op.to] = op.node;
      break;
    case MemoryFileSystem::NamespaceOp::kRename:
      names.erase(op.from);
      names[op.to] = op.node;
      break;
    case MemoryFileSystem::NamespaceOp::kRemove:
      names.erase(op.to);
      break;
  }
}

}  // namespace

MemoryFileSystem::State MemoryFileSystem::State::Clone() const {
  std::map<const Node*, NodePtr> copies;
  auto copy = [&copies](const NodePtr& node) -> NodePtr {
    if (!node)
      return nullptr;
    auto [it, added] = copies.try_emplace(node.get());
    if (added)
      it->second = std::make_shared<Node>(*node);
    return it->second;
  };
  State out;
  out.dirs = dirs;
  for (const auto& [name, node] : live)
    out.live[name] = copy(node);
  for (const auto& [name, node] : durable)
    out.durable[name] = copy(node);
  for (const NamespaceOp& op : pending) {
    NamespaceOp c = op;
    c.node = copy(op.node);
    out.pending.push_back(std::move(c));
  }
  return out;
}

std::string MemoryFileSystem::Key(const Path& path) {
  std::string key = path.lexically_normal().generic_string();
  while (key.size() > 1 && key.back() == '/')
    key.pop_back();
  return key;
}

std::string MemoryFileSystem::Parent(const std::string& key) {
  const std::size_t slash = key.rfind('/');
  if (slash == std::string::npos)
    return {};
  if (slash == 0)
    return "/";
  return key.substr(0, slash);
}

void MemoryFileSystem::AddDirectory(const Path& dir) {
  for (std::string key = Key(dir); !key.empty(); key = Parent(key)) {
    state_.dirs.insert(key);
    if (key == "/")
      break;
  }
}

void MemoryFileSystem::AddFile(const Path& path, Bytes bytes) {
  const std::string key = Key(path);
  AddDirectory(Parent(key));
  auto node = std::make_shared<Node>();
  node->data = std::move(bytes);
  node->synced = node->data;
  state_.live[key] = node;
  state_.durable[key] = node;
}

void MemoryFileSystem::ImportTree(const std::filesystem::path& diskDir, const Path& memDir) {
  AddDirectory(memDir);
  for (const auto& entry : std::filesystem::recursive_directory_iterator(diskDir)) {
    const Path target = memDir / entry.path().lexically_relative(diskDir);
    if (entry.is_directory()) {
      AddDirectory(target);
    } else if (entry.is_regular_file()) {
      std::ifstream in(entry.path(), std::ios::binary);
      AddFile(target, Bytes(std::istreambuf_iterator<char>(in), {}));
    }
  }
}

std::optional<Bytes> MemoryFileSystem::Contents(const Path& path) const {
  auto it = state_.live.find(Key(path));
  if (it == state_.live.end())
    return std::nullopt;
  return it->second->data;
}

void MemoryFileSystem::BeforeChange() {
  if (beforeChange_)
    beforeChange_();
}

MemoryFileSystem::State MemoryFileSystem::Crash(const State& s, std::size_t namespacePrefix,
                                                CrashMode mode, std::uint32_t tearSeed) {
  State copy = s.Clone();
  std::map<std::string, NodePtr> names = copy.durable;
  for (std::size_t i = 0; i < std::min(namespacePrefix, copy.pending.size()); ++i) {
    Apply(copy.pending[i], names);
  }
  State out;
  out.dirs = copy.dirs;
  std::map<const Node*, NodePtr> rebooted;
  std::uint64_t index = 0;
  for (const auto& [name, node] : names) {
    auto [it, added] = rebooted.try_emplace(node.get());
    if (added) {
      auto fresh = std::make_shared<Node>();
      switch (mode) {
        case CrashMode::kDrop:
          fresh->data = node->synced;
          break;
        case CrashMode::kKeep:
          fresh->data = node->data;
          break;
        case CrashMode::kTear:
          fresh->data = node->data == node->synced
                            ? node->data
                            : Tear(node->synced, node->data, Mix(tearSeed) ^ (Mix(index) << 1));
          break;
      }
      fresh->synced = fresh->data;
      it->second = fresh;
    }
    ++index;
    out.live[name] = it->second;
    out.durable[name] = it->second;
  }
  return out;
}

std::unique_ptr<platform::InputFile> MemoryFileSystem::OpenRead(const Path& path) {
  auto it = state_.live.find(Key(path));
  if (it == state_.live.end())
    return nullptr;
  return std::make_unique<MemoryInputFile>(it->second);
}

std::unique_ptr<platform::OutputFile> MemoryFileSystem::OpenWrite(const Path& path,
                                                                  std::string* error) {
  const std::string key = Key(path);
  if (state_.dirs.count(key) != 0 || state_.dirs.count(Parent(key)) == 0) {
    if (error)
      *error = "cannot create " + key;
    return nullptr;
  }
  BeforeChange();
  auto it = state_.live.find(key);
  if (it != state_.live.end()) {
    it->second->data.clear();
    return std::make_unique<MemoryOutputFile>(*this, it->second);
  }
  auto node = std::make_shared<Node>();
  state_.live[key] = node;
  state_.pending.push_back({NamespaceOp::kCreate, {}, key, node});
  return std::make_unique<MemoryOutputFile>(*this, node);
}

std::unique_ptr<platform::OutputFile> MemoryFileSystem::CreateNew(const Path& path,
                                                                  std::string* error) {
  const std::string key = Key(path);
  if (state_.live.count(key) != 0 || state_.dirs.count(key) != 0) {
    if (error)
      *error = "already exists: " + key;
    return nullptr;
  }
  return OpenWrite(path, error);
}

IoResult MemoryFileSystem::Link(const Path& from, const Path& to) {
  const std::string fromKey = Key(from);
  const std::string toKey = Key(to);
  auto it = state_.live.find(fromKey);
  if (it == state_.live.end())
    return IoResult::Failure("no such file: " + fromKey);
  if (state_.live.count(toKey) != 0 || state_.dirs.count(toKey) != 0 ||
      state_.dirs.count(Parent(toKey)) == 0) {
    return IoResult::Failure("cannot link " + toKey);
  }
  BeforeChange();
  state_.live[toKey] = it->second;
  state_.pending.push_back({NamespaceOp::kCreate, {}, toKey, it->second});
  return {};
}

IoResult MemoryFileSystem::Rename(const Path& from, const Path& to) {
  const std::string fromKey = Key(from);
  const std::string toKey = Key(to);
  auto it = state_.live.find(fromKey);
  if (it == state_.live.end())
    return IoResult::Failure("no such file: " + fromKey);
  if (state_.dirs.count(toKey) != 0 || state_.dirs.count(Parent(toKey)) == 0) {
    return IoResult::Failure("cannot rename to " + toKey);
  }
  if (fromKey == toKey)
    return {};
  BeforeChange();
  NodePtr node = it->second;
  state_.live.erase(it);
  state_.live[toKey] = node;
  state_.pending.push_back({NamespaceOp::kRename, fromKey, toKey, node});
  return {};
}

IoResult MemoryFileSystem::Remove(const Path& path) {
  const std::string key = Key(path);
  auto it = state_.live.find(key);
  if (it == state_.live.end())
    return IoResult::Failure("no such file: " + key);
  BeforeChange();
  state_.live.erase(it);
  state_.pending.push_back({NamespaceOp::kRemove, {}, key, nullptr});
  return {};
}

IoResult MemoryFileSystem::SyncDirectory(const Path& dir) {
  const std::string key = Key(dir);
  if (state_.dirs.count(key) == 0)
    return IoResult::Failure("no such directory: " + key);
  BeforeChange();
  std::vector<NamespaceOp> rest;
  for (NamespaceOp& op : state_.pending) {
    const bool touches =
        Parent(op.to) == key || (op.kind == NamespaceOp::kRename && Parent(op.from) == key);
    if (touches) {
      Apply(op, state_.durable);
    } else {
      rest.push_back(std::move(op));
    }
  }
  state_.pending = std::move(rest);
  return {};
}

IoResult MemoryFileSystem::CopyPermissions(const Path&, const Path& to) {
  if (state_.live.count(Key(to)) == 0)
    return IoResult::Failure("no such file: " + Key(to));
  return {};
}

bool MemoryFileSystem::Exists(const Path& path) {
  const std::string key = Key(path);
  return state_.live.count(key) != 0 || state_.dirs.count(key) != 0;
}

bool MemoryFileSystem::IsDirectory(const Path& path) {
  return state_.dirs.count(Key(path)) != 0;
}

std::vector<DirEntry> MemoryFileSystem::List(const Path& dir) {
  const std::string key = Key(dir);
  std::vector<DirEntry> entries;
  if (state_.dirs.count(key) == 0)
    return entries;
  auto nameOf = [](const std::string& k) { return k.substr(k.rfind('/') + 1); };
  for (const std::string& d : state_.dirs) {
    if (d != key && Parent(d) == key)
      entries.push_back({nameOf(d), true, false});
  }
  for (const auto& entry : state_.live) {
    if (Parent(entry.first) == key)
      entries.push_back({nameOf(entry.first), false, false});
  }
  return entries;
}

IoResult MemoryFileSystem::CreateDirectory(const Path& dir) {
  const std::string key = Key(dir);
  if (state_.dirs.count(key) != 0)
    return {};
  if (state_.live.count(key) != 0 || state_.dirs.count(Parent(key)) == 0)
    return IoResult::Failure("cannot create " + key);
  BeforeChange();
  state_.dirs.insert(key);
  return {};
}

}  // namespace ledgrix::testing
