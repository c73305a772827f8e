#include "tests/support/failing_file_system.h"

namespace ledgrix::testing {
namespace {

using platform::InputFile;
using platform::IoResult;
using platform::OutputFile;
using platform::Path;

IoResult Injected(const std::string& what) {
  return IoResult::Failure("injected fault: " + what);
}

class FailingInput final : public InputFile {
 public:
  FailingInput(FailingFileSystem& fs, std::unique_ptr<InputFile> inner)
      : fs_(fs), inner_(std::move(inner)) {}
  std::size_t Read(void* buffer, std::size_t size) override {
    if (fs_.Tick(true, "read")) {
      failed_ = true;
      return 0;
    }
    return inner_->Read(buffer, size);
  }
  bool failed() const override { return failed_ || inner_->failed(); }
  bool Seek(std::uint64_t offset) override {
    if (fs_.Tick(true, "seek"))
      return false;
    return inner_->Seek(offset);
  }

 private:
  FailingFileSystem& fs_;
  std::unique_ptr<InputFile> inner_;
  bool failed_ = false;
};

class FailingOutput final : public OutputFile {
 public:
  FailingOutput(FailingFileSystem& fs, std::unique_ptr<OutputFile> inner)
      : fs_(fs), inner_(std::move(inner)) {}
  IoResult Write(const void* data, std::size_t size) override {
    if (fs_.Tick(false, "write")) {
      // A failed write may still have written a part.
      (void)inner_->Write(data, size / 2);
      return Injected("write");
    }
    return inner_->Write(data, size);
  }
  IoResult Sync() override { return fs_.Tick(false, "sync") ? Injected("sync") : inner_->Sync(); }
  IoResult Close() override {
    if (fs_.Tick(false, "close")) {
      (void)inner_->Close();
      return Injected("close");
    }
    return inner_->Close();
  }

 private:
  FailingFileSystem& fs_;
  std::unique_ptr<OutputFile> inner_;
};

}  // namespace

bool FailingFileSystem::Tick(bool isRead, const char* what) {
  if (isRead && !countReads_)
    return false;
  ++count_;
  if (count_ == failAt_) {
    failed_ = true;
    failedOperation_ = what;
    return true;
  }
  return false;
}

std::unique_ptr<InputFile> FailingFileSystem::OpenRead(const Path& path) {
  if (Tick(true, "open"))
    return nullptr;
  auto inner = inner_.OpenRead(path);
  if (!inner)
    return nullptr;
  return std::make_unique<FailingInput>(*this, std::move(inner));
}

std::unique_ptr<OutputFile> FailingFileSystem::OpenWrite(const Path& path, std::string* error) {
  if (Tick(false, "create")) {
    if (error)
      *error = "injected fault: create " + path.string();
    return nullptr;
  }
  auto inner = inner_.OpenWrite(path, error);
  if (!inner)
    return nullptr;
  return std::make_unique<FailingOutput>(*this, std::move(inner));
}

std::unique_ptr<OutputFile> FailingFileSystem::CreateNew(const Path& path, std::string* error) {
  if (Tick(false, "create")) {
    if (error)
      *error = "injected fault: create " + path.string();
    return nullptr;
  }
  auto inner = inner_.CreateNew(path, error);
  if (!inner)
    return nullptr;
  return std::make_unique<FailingOutput>(*this, std::move(inner));
}

IoResult FailingFileSystem::Link(const Path& from, const Path& to) {
  return Tick(false, "link") ? Injected("link") : inner_.Link(from, to);
}

IoResult FailingFileSystem::Rename(const Path& from, const Path& to) {
  return Tick(false, "rename") ? Injected("rename") : inner_.Rename(from, to);
}

IoResult FailingFileSystem::Remove(const Path& path) {
  return Tick(false, "remove") ? Injected("remove") : inner_.Remove(path);
}

IoResult FailingFileSystem::SyncDirectory(const Path& dir) {
  if (!Tick(false, "sync folder"))
    return inner_.SyncDirectory(dir);
  failedPath_ = dir;
  return Injected("sync folder");
}

IoResult FailingFileSystem::CreateDirectory(const Path& dir) {
  return Tick(false, "create folder") ? Injected("create folder") : inner_.CreateDirectory(dir);
}

IoResult FailingFileSystem::CopyPermissions(const Path& from, const Path& to) {
  return Tick(false, "permissions") ? Injected("permissions") : inner_.CopyPermissions(from, to);
}

bool FailingFileSystem::Exists(const Path& path) {
  return inner_.Exists(path);
}

bool FailingFileSystem::IsDirectory(const Path& path) {
  return inner_.IsDirectory(path);
}

std::vector<platform::DirEntry> FailingFileSystem::List(const Path& dir) {
  if (Tick(true, "list"))
    return {};
  return inner_.List(dir);
}

}  // namespace ledgrix::testing
