// Decoding of fuzz inputs: a bounded cursor over the bytes, and a small archive of named files
// that is unpacked into an in-memory file system, so that a run touches no disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/memory_file_system.h"

namespace ledgrix::fuzz {

using Bytes = std::vector<std::uint8_t>;

// Reads numbers and byte runs; past the end every read gives zeros or nothing.
class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  std::uint8_t U8();
  std::uint16_t U16();  // little-endian
  std::int16_t I16() { return static_cast<std::int16_t>(U16()); }
  std::uint32_t U32();
  float F32();  // IEEE bits, little-endian
  // Up to n bytes.
  std::string_view Take(std::size_t n);
  std::string_view Rest() { return Take(size_ - position_); }
  bool empty() const { return position_ >= size_; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t position_ = 0;
};

// The portfolio root every multi-file target unpacks into.
inline constexpr const char* kFuzzRoot = "/fz";

// Archive: entries of a 1-byte name length (0 ends the archive), the name, a 2-byte
// little-endian size and the data (cut where the input ends). A name ending in "/" makes a
// directory. Names are relative to kFuzzRoot; at most kMaxEntries are unpacked.
inline constexpr int kMaxEntries = 32;
void UnpackArchive(FuzzInput& in, testing::MemoryFileSystem& fs);

// The encoding side, for seeds.
void AppendEntry(Bytes& archive, std::string_view name, const Bytes& data);
void AppendEnd(Bytes& archive);

}  // namespace ledgrix::fuzz
