// What the file layer's tests share: a temporary folder, and files as plain text.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/paths.h"
#include "tests/support/fixture.h"

namespace ledgrix::platform {

using Bytes = std::vector<std::uint8_t>;
using Folder = testing::TempDir;

inline Bytes Of(const std::string& text) {
  return Bytes(text.begin(), text.end());
}

inline void Put(const Path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

inline std::string Get(const Path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The names in dir, sorted, as UTF-8.
inline std::vector<std::string> Names(const Path& dir) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir))
    names.push_back(Utf8FromPath(e.path().filename()));
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace ledgrix::platform
