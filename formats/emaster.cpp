// Reading and writing EMASTER.
#include "formats/emaster.h"

#include <cstring>

#include "formats/record_file.h"

namespace ledgrix::formats {

bool ReadEmasterFile(const std::filesystem::path& path, EmasterFile& file, std::string* problem,
                     bool* ioError) {
  std::vector<std::uint8_t> bytes;
  const auto countOf = [](const std::uint8_t* header, std::size_t& count, std::string*) {
    count = le::U16(header + emaster_offset::kRecordCount);
    return true;
  };
  if (!ReadCountedRecords(path, kEmasterRecordSize, countOf, bytes, problem, ioError))
    return false;
  EmasterFile out;
  std::memcpy(out.header.bytes.data(), bytes.data(), kEmasterRecordSize);
  out.records.resize(bytes.size() / kEmasterRecordSize - 1);
  for (std::size_t i = 0; i < out.records.size(); ++i) {
    std::memcpy(out.records[i].bytes.data(), bytes.data() + (i + 1) * kEmasterRecordSize,
                kEmasterRecordSize);
  }
  file = std::move(out);
  return true;
}

std::vector<std::uint8_t> EmasterBytes(const EmasterFile& file) {
  std::vector<std::uint8_t> out(file.header.bytes.begin(), file.header.bytes.end());
  out.reserve(kEmasterRecordSize * (file.records.size() + 1));
  for (const EmasterRecord& r : file.records)
    out.insert(out.end(), r.bytes.begin(), r.bytes.end());
  return out;
}

}  // namespace ledgrix::formats
