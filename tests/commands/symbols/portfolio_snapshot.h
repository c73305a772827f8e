// Every file of a directory with its bytes, for "nothing changed" checks.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/support/fixture.h"

namespace ledgrix::testing {

using Snapshot = std::map<std::string, std::vector<std::uint8_t>>;

inline Snapshot TakeSnapshot(const std::filesystem::path& dir) {
  Snapshot files;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    if (entry.is_regular_file())
      files[entry.path().filename().string()] = FileBytes(entry.path());
  }
  return files;
}

}  // namespace ledgrix::testing
