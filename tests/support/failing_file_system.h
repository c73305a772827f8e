// A FileSystem that passes every operation to another one and fails the k-th (counting from 1),
// so that a test can run a write path once for every k until it completes.
#pragma once

#include <string>

#include "platform/file_system.h"

namespace ledgrix::testing {

class FailingFileSystem final : public platform::FileSystem {
 public:
  FailingFileSystem(platform::FileSystem& inner, int failAt) : inner_(inner), failAt_(failAt) {}

  bool failed() const { return failed_; }
  // What the failed operation was ("write", "sync folder", ...); empty before a failure.
  const std::string& failedOperation() const { return failedOperation_; }
  // The folder whose failed sync that was; empty for other operations.
  const platform::Path& failedPath() const { return failedPath_; }
  // Whether reads (OpenRead, List, Exists, IsDirectory, reads and seeks) count too.
  void setCountReads(bool countReads) { countReads_ = countReads; }

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
  platform::Path FinalPath(const platform::Path& path) override { return inner_.FinalPath(path); }
  platform::Path NameOnDisk(const platform::Path& path) override { return inner_.NameOnDisk(path); }
  bool IsDirectory(const platform::Path& path) override;
  bool IsSpecialFile(const platform::Path& path) override { return inner_.IsSpecialFile(path); }
  platform::IoResult CheckReplaceable(const platform::Path& path) override {
    return inner_.CheckReplaceable(path);
  }
  std::vector<platform::DirEntry> List(const platform::Path& dir) override;
  platform::IoResult CreateDirectory(const platform::Path& dir) override;

  // True when this operation is the one to fail (and counts it).
  bool Tick(bool isRead, const char* what = "");

 private:
  platform::FileSystem& inner_;
  int failAt_;
  int count_ = 0;
  bool failed_ = false;
  bool countReads_ = false;
  std::string failedOperation_;
  platform::Path failedPath_;
};

}  // namespace ledgrix::testing
