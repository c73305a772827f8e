#include "fuzz/fuzz_input.h"

#include <cstring>

namespace ledgrix::fuzz {

std::uint8_t FuzzInput::U8() {
  return position_ < size_ ? data_[position_++] : 0;
}

std::uint16_t FuzzInput::U16() {
  const std::uint16_t low = U8();
  return static_cast<std::uint16_t>(low | (U8() << 8));
}

std::uint32_t FuzzInput::U32() {
  const std::uint32_t low = U16();
  return low | (static_cast<std::uint32_t>(U16()) << 16);
}

float FuzzInput::F32() {
  const std::uint32_t bits = U32();
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

std::string_view FuzzInput::Take(std::size_t n) {
  const std::size_t available = position_ < size_ ? size_ - position_ : 0;
  if (n > available)
    n = available;
  std::string_view out(reinterpret_cast<const char*>(data_) + position_, n);
  position_ += n;
  return out;
}

void UnpackArchive(FuzzInput& in, testing::MemoryFileSystem& fs) {
  const std::string root = kFuzzRoot;
  fs.AddDirectory(root);
  for (int entry = 0; entry < kMaxEntries && !in.empty(); ++entry) {
    const std::size_t nameLength = in.U8();
    if (nameLength == 0)
      break;
    const std::string name(in.Take(nameLength));
    const std::size_t size = in.U16();
    const std::string_view data = in.Take(size);
    if (name.empty() || name.find('\0') != std::string::npos)
      continue;
    const std::string path = root + "/" + name;
    if (name.back() == '/') {
      fs.AddDirectory(path);
    } else if (!fs.IsDirectory(path)) {
      fs.AddFile(path, Bytes(data.begin(), data.end()));
    }
  }
}

void AppendEntry(Bytes& archive, std::string_view name, const Bytes& data) {
  archive.push_back(static_cast<std::uint8_t>(name.size()));
  archive.insert(archive.end(), name.begin(), name.end());
  archive.push_back(static_cast<std::uint8_t>(data.size() & 0xFF));
  archive.push_back(static_cast<std::uint8_t>(data.size() >> 8));
  archive.insert(archive.end(), data.begin(), data.end());
}

void AppendEnd(Bytes& archive) {
  archive.push_back(0);
}

}  // namespace ledgrix::fuzz
