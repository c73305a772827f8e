// The file system every layer uses, and the guard through which tests install another one.
#include "platform/file_system.h"

namespace ledgrix::platform {
namespace {

FileSystem* g_current = nullptr;

}  // namespace

FileSystem& CurrentFileSystem() {
  return g_current ? *g_current : RealFileSystem();
}

ScopedFileSystem::ScopedFileSystem(FileSystem& fs) : previous_(g_current) {
  g_current = &fs;
}

ScopedFileSystem::~ScopedFileSystem() {
  g_current = previous_;
}

}  // namespace ledgrix::platform
