// Reading and writing XMASTER.
#include "formats/xmaster.h"

#include <algorithm>
#include <cstring>

#include "formats/record_file.h"

namespace ledgrix::formats {

bool XmasterHeader::hasMagic() const {
  return std::equal(kXmasterMagic.begin(), kXmasterMagic.end(), bytes.begin());
}

void XmasterHeader::setRecordCount(std::uint16_t n) {
  le::SetU16(&bytes[xmaster_offset::kRecordCount], n);
  le::SetU16(&bytes[xmaster_offset::kRecordCount2], n);
}

bool ReadXmasterFile(const std::filesystem::path& path, XmasterFile& file, std::string* problem,
                     bool* ioError) {
  std::vector<std::uint8_t> bytes;
  const auto countOf = [](const std::uint8_t* header, std::size_t& count, std::string* why) {
    if (!std::equal(kXmasterMagic.begin(), kXmasterMagic.end(), header)) {
      *why = "does not begin with the bytes of an XMASTER";
      return false;
    }
    count = le::U16(header + xmaster_offset::kRecordCount);
    return true;
  };
  if (!ReadCountedRecords(path, kXmasterRecordSize, countOf, bytes, problem, ioError))
    return false;
  XmasterFile out;
  std::memcpy(out.header.bytes.data(), bytes.data(), kXmasterRecordSize);
  out.records.resize(bytes.size() / kXmasterRecordSize - 1);
  for (std::size_t i = 0; i < out.records.size(); ++i) {
    std::memcpy(out.records[i].bytes.data(), bytes.data() + (i + 1) * kXmasterRecordSize,
                kXmasterRecordSize);
  }
  file = std::move(out);
  return true;
}

std::vector<std::uint8_t> XmasterBytes(const XmasterFile& file) {
  std::vector<std::uint8_t> out(file.header.bytes.begin(), file.header.bytes.end());
  out.reserve(kXmasterRecordSize * (file.records.size() + 1));
  for (const XmasterRecord& r : file.records)
    out.insert(out.end(), r.bytes.begin(), r.bytes.end());
  return out;
}

}  // namespace ledgrix::formats
